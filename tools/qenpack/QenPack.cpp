#include "qenpack/QenPack.h"

#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "articles/ArticleLinks.h"
#include "common/CommandLineTool.h"
#include "files/FileIO.h"
#include "package/PackageFormat.h"
#include "package/RequiredSiteFiles.h"
#include "package/SiteNiche.h"
#include "qenpack/BrandingFile.h"
#include "qenpack/PackageReport.h"
#include "qenpack/SiteFolder.h"
#include "text/CountText.h"
#include "web/EndpointsFile.h"

namespace qen {

const char* const kQenPackUsage =
    "usage:\n"
    "  qenpack build SITE_DIR -o NAME.qen [--title T] [--settings-name S] [--footer-name N]\n"
    "                [--footer-link URL] [--max-side-banners K] [--branding FILE]\n"
    "      makes a package of the files directly in SITE_DIR (SiteNiche.txt, template.html\n"
    "      and help.html at least)\n"
    "      -o NAME.qen            the package to write\n"
    "      --title T              the window's title and the program's name; it also replaces\n"
    "                             TWX_REPLACE_EBOOKNAME in the site's files, not the page header\n"
    "      --settings-name S      a name of its own for the settings, so the package keeps its\n"
    "                             own terms, zoom and backups apart from other packages\n"
    "      --footer-name N        the footer reads \"Brought to you by N\" (with --footer-link)\n"
    "      --footer-link URL      where the footer links to; an http:// or https:// address\n"
    "      --max-side-banners K   how many side banners a page shows at once (0 to 999999,\n"
    "                             default 5)\n"
    "      --branding FILE        the top banners, side banners and menu text links\n"
    "  qenpack bind PROGRAM PACKAGE -o OUTPUT\n"
    "      writes OUTPUT: PROGRAM carrying PACKAGE, which it opens at every start\n"
    "  qenpack inspect FILE       shows the package's header, branding and files\n"
    "  qenpack verify FILE        checks the package as the runtime will before it opens it\n"
    "  qenpack extract FILE DIR   writes the package's files into DIR (made if need be), never\n"
    "                             over a file that is there\n"
    "  qenpack --help | --version\n"
    "exit codes: 0 done, 1 damaged or rejected input, 2 usage or file errors\n";


namespace {

struct Failure {
    int code;
};

class Command {
public:
    explicit Command(const tool::CommandLineTool& tool) : tool_(tool) {}

    // A package, site or branding file that cannot be used.
    [[noreturn]] void Reject(const std::string& reason) { throw Failure{tool_.Error(tool::kRejected, reason)}; }
    // A file that cannot be read or written.
    [[noreturn]] void FileFault(const std::string& reason) {
        throw Failure{tool_.Error(tool::kUsageOrFile, reason)};
    }
    [[noreturn]] void Usage(const std::string& reason) { throw Failure{tool_.UsageError(reason)}; }

    std::ostream& Out() const { return tool_.Out(); }
    void Warn(const std::string& text) const { tool_.Error(tool::kDone, "warning: " + text); }

    std::string Read(const std::string& path) {
        FileError error;
        std::optional<std::string> data = ReadFileBytes(Path(path), &error);
        if (!data) FileFault("cannot read " + path + ": " + error.Reason());
        return *data;
    }

    void Write(const std::string& path, std::string_view data, SaveOptions options = {}) {
        FileError error;
        if (!SaveFileSafely(Path(path), data, &error, options))
            FileFault("cannot write " + path + ": " + error.Reason());
    }

    // Options "--name value" and "-o value" after the positional arguments.
    void ParseOptions(const std::vector<std::string>& args, std::size_t from,
                      const std::vector<std::string>& allowed, std::size_t positionals) {
        for (std::size_t i = from; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (arg.size() > 1 && arg[0] == '-') {
                bool known = false;
                for (const auto& name : allowed) known = known || name == arg;
                if (!known) Usage("unknown option " + arg);
                if (i + 1 >= args.size()) Usage("option " + arg + " needs a value");
                if (options_.count(arg)) Usage("option " + arg + " given twice");
                options_[arg] = args[++i];
            } else {
                positional_.push_back(arg);
            }
        }
        if (positional_.size() != positionals) Usage("wrong number of arguments");
    }

    std::string Option(const std::string& name, const std::string& fallback = {}) const {
        auto found = options_.find(name);
        return found == options_.end() ? fallback : found->second;
    }
    const std::string& Positional(std::size_t i) const { return positional_[i]; }

    PackageReport Examine(const std::string& path, const std::string& image, bool withFiles) {
        PackageReport report = ExaminePackage(image, withFiles);
        if (!report.fault.empty()) Reject(path + ": " + report.fault);
        return report;
    }

private:
    const tool::CommandLineTool& tool_;
    std::map<std::string, std::string> options_;
    std::vector<std::string> positional_;
};

std::uint32_t ParseCount(Command& command, const std::string& text) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        command.Usage("--max-side-banners needs a whole number from 0 to 999999, not \"" + text + "\"");
    return static_cast<std::uint32_t>(std::stoul(text));
}

// The footer's link lands in an attribute of every page: a plain web address only, with
// nothing that could end the attribute.
bool IsFooterAddress(std::string_view address) {
    return PlainWebOrigin(address) && address.find_first_of("\"'<>") == std::string_view::npos;
}

void Build(Command& command, const std::vector<std::string>& args) {
    command.ParseOptions(args, 1,
                         {"-o", "--title", "--settings-name", "--footer-name", "--footer-link",
                          "--max-side-banners", "--branding"},
                         1);
    const std::string output = command.Option("-o");
    if (output.empty()) command.Usage("build needs -o NAME.qen");

    std::string error;
    PackageDescription description;
    description.title = command.Option("--title");
    description.settingsName = command.Option("--settings-name");
    description.footerName = command.Option("--footer-name");
    description.footerLink = command.Option("--footer-link");
    if (!description.footerLink.empty() && !IsFooterAddress(description.footerLink))
        command.Usage("--footer-link needs an http:// or https:// address, not \"" + description.footerLink + "\"");
    const std::string sides = command.Option("--max-side-banners");
    if (!sides.empty()) description.maxSideBanners = ParseCount(command, sides);
    if (const std::string brandingPath = command.Option("--branding"); !brandingPath.empty()) {
        auto lists = ParseBrandingFile(command.Read(brandingPath), error);
        if (!lists) command.Reject(brandingPath + ": " + error);
        description.branding = std::move(*lists);
    }

    SiteFolderError siteError;
    auto files = ReadSiteFolder(Path(command.Positional(0)), siteError);
    if (!files && siteError.unreadable) command.FileFault(siteError.reason);
    if (!files) command.Reject(siteError.reason);
    std::vector<std::string> names;
    for (const PackageFile& file : *files) names.push_back(file.name);
    if (const std::string missing = MissingSiteFiles(names); !missing.empty())
        command.Reject(command.Positional(0) + " has no " + missing + "; the runtime cannot show a site without it");
    for (const PackageFile& file : *files) {
        if (file.name == "endpoints.txt") {
            const EndpointsFile endpoints = ParseEndpointsFile(file.data);
            if (endpoints.faultyLine) command.Reject(EndpointsFault(endpoints));
        }
        if (file.name != "SiteNiche.txt" && file.name != "siteniche.txt") continue;
        std::string niche, category;
        std::vector<std::string> words;
        const std::string fault =
            ParseSiteNicheText(std::string_view(file.data).substr(0, file.data.find('\0')), niche, category, words);
        if (!fault.empty()) command.Reject(file.name + ": " + fault);
    }
    description.members = std::move(*files);

    auto block = MakePackageBlock(description, error);
    if (!block) command.Reject(error);
    command.Write(output, *block);
    command.Out() << "wrote " << output << ": " << CountText(description.members.size(), "file", "files") << ", "
                 << CountText(block->size(), "byte", "bytes") << "\n";
}

void Bind(Command& command, const std::vector<std::string>& args) {
    command.ParseOptions(args, 1, {"-o"}, 2);
    const std::string output = command.Option("-o");
    if (output.empty()) command.Usage("bind needs -o OUTPUT");
    const std::string& programPath = command.Positional(0);
    const std::string& packagePath = command.Positional(1);
    const std::string program = command.Read(programPath);
    if (ExaminePackage(program, false).blockFound) command.Reject(programPath + " already carries a package");
    const std::string package = command.Read(packagePath);
    const PackageReport report = command.Examine(packagePath, package, false);
    const std::string_view blockBytes =
        std::string_view(package).substr(report.blockStart, block::kData + std::size_t(report.dataLength));
    // The branded program runs like the program it was made from.
    std::error_code error;
    const auto mode = static_cast<unsigned>(std::filesystem::status(programPath, error).permissions()) & 0777;
    command.Write(output, program + std::string(blockBytes), SaveOptions{error ? 0755u : mode, true});
    command.Out() << "wrote " << output << ": " << programPath << " with " << packagePath << "\n";
}

void PrintList(std::ostream& out, const char* name, const std::vector<BrandingPair>& pairs) {
    out << name << ": " << pairs.size() << "\n";
    for (const auto& [first, second] : pairs)
        out << "  " << tool::Printable(first) << " | " << tool::Printable(second) << "\n";
}

std::string ContentHashLine(const PackageReport& report) {
    if (report.recordedContentHash.find_first_not_of('\0') == std::string::npos) return "none recorded";
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : report.recordedContentHash) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    switch (report.contentHash) {
        case ContentHashCheck::Matches: return hex + " (matches)";
        case ContentHashCheck::Differs: return hex + " (DOES NOT MATCH)";
        case ContentHashCheck::NotRecorded: break;
    }
    return hex + " (not checked: the layout is unsound)";
}

void Inspect(Command& command, const std::vector<std::string>& args) {
    command.ParseOptions(args, 1, {}, 1);
    const std::string& path = command.Positional(0);
    const std::string image = command.Read(path);
    const PackageReport report = ExaminePackage(image, false);
    if (!report.blockFound) command.Reject(path + ": " + report.fault);
    using tool::Printable;
    std::ostream& out = command.Out();
    out << "block start:      " << report.blockStart << (report.blockStart > 0 ? " (behind a program)" : "") << "\n"
        << "data length:      " << report.dataLength << "\n"
        << "member count:     " << report.memberCount << "\n"
        << "tool word:        " << report.toolWord << "\n"
        << "max side banners: " << report.maxSideBanners << "\n"
        << "title:            " << Printable(report.title) << "\n"
        << "settings name:    " << Printable(report.settingsName) << "\n"
        << "footer name:      " << Printable(report.footerName) << "\n"
        << "footer link:      " << Printable(report.footerLink) << "\n"
        << "header digest:    " << Printable(report.storedDigest)
        << (report.digestMatches ? " (matches)" : " (DOES NOT MATCH)") << "\n"
        << "content hash:     " << ContentHashLine(report) << "\n";
    PrintList(out, "top banners", report.branding.topBanners);
    PrintList(out, "side banners", report.branding.sideBanners);
    PrintList(out, "menu text links", report.branding.menuTextLinks);
    out << "hosts:" << (report.endpoints.empty() ? " the built-in ones (no endpoints.txt)" : "") << "\n";
    for (const auto& [key, value] : report.endpoints) out << "  " << key << "=" << Printable(value) << "\n";
    out << "members:\n";
    for (const auto& row : report.members)
        out << "  " << row.offset << "\t" << row.size << "\t" << Printable(row.name) << "\n";
    if (!report.fault.empty()) command.Reject(path + ": " + report.fault);
    out << "status: OK\n";
}

void Verify(Command& command, const std::vector<std::string>& args) {
    command.ParseOptions(args, 1, {}, 1);
    const std::string& path = command.Positional(0);
    const PackageReport report = command.Examine(path, command.Read(path), false);
    command.Out() << path << ": OK (" << CountText(report.memberCount, "file", "files")
                  << (report.contentHash == ContentHashCheck::Matches
                          ? ")\n"
                          : "; no content hash recorded, so only the header is checked)\n");
}

void Extract(Command& command, const std::vector<std::string>& args) {
    command.ParseOptions(args, 1, {}, 2);
    const std::string& path = command.Positional(0);
    const Path folder(command.Positional(1));
    const PackageReport report = command.Examine(path, command.Read(path), true);
    std::error_code error;
    std::filesystem::create_directories(folder.Bytes(), error);
    if (error) command.FileFault("cannot create " + folder.Bytes() + ": " + error.message());
    // Only new files are written, never over a file or through a link that was there;
    // a run that cannot finish takes back the files it made.
    std::vector<Path> made;
    for (const PackageFile& file : report.files) {
        const Path target = folder / file.name;
        FileError why;
        if (!WriteNewFile(target, file.data, &why)) {
            for (const Path& done : made) std::filesystem::remove(done.Bytes(), error);
            command.FileFault("cannot write " + target.Bytes() + ": " + why.Reason());
        }
        made.push_back(target);
    }
    command.Out() << "extracted " << CountText(report.files.size(), "file", "files") << " into " << folder.Bytes() << "\n";
}

}  // namespace

int RunQenPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const tool::CommandLineTool tool("qenpack", kQenPackUsage, out, err);
    if (auto answered = tool.AnswerHelpOrVersion(args)) return *answered;
    Command command(tool);
    try {
        if (args.empty()) command.Usage("no command given");
        const std::string& name = args[0];
        if (name == "build")
            Build(command, args);
        else if (name == "bind")
            Bind(command, args);
        else if (name == "inspect")
            Inspect(command, args);
        else if (name == "verify")
            Verify(command, args);
        else if (name == "extract")
            Extract(command, args);
        else
            command.Usage("unknown command " + name);
    } catch (const Failure& failure) {
        return failure.code;
    } catch (const std::exception& exception) {
        // Memory or the file system gave out underneath.
        return tool.Error(tool::kUsageOrFile, exception.what());
    }
    return tool::kDone;
}

}  // namespace qen
