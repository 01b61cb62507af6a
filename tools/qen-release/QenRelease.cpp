#include "qen-release/QenRelease.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "common/CommandLineTool.h"
#include "files/FileIO.h"
#include "update/UpdateSignature.h"
#include "update/VersionFile.h"

namespace qen::release {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage:\n"
    "  qen-release keygen PRIVATE_KEY PUBLIC_KEY\n"
    "      makes the key pair that signs updates; PUBLIC_KEY holds the 64 hexadecimal digits\n"
    "      a build is given to trust; neither file is replaced if it exists\n"
    "  qen-release sign PRIVATE_KEY VERSION program|replacer FILE\n"
    "      writes FILE.sig, which the runtime checks before it runs a downloaded FILE\n"
    "  qen-release verify PUBLIC_KEY VERSION program|replacer FILE\n"
    "      checks FILE.sig as the runtime will\n"
    "  qen-release --help | --version\n"
    "VERSION is the whole number the update server's version file starts with; program or\n"
    "replacer says which of the two downloaded files FILE is (a signature holds for one only)\n"
    "exit codes: 0 done, 1 a signature that does not hold, 2 usage or file errors\n";

// A failure that ends the command with exit code 2 and this text.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A command given the wrong number of arguments: the usage follows the reason.
struct WrongArguments : Failure {
    using Failure::Failure;
};

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

std::string ReadFile(const std::string& path) {
    FileError error;
    std::optional<std::string> bytes = ReadFileBytes(Path(path), &error);
    if (error.kind == FileError::Kind::NotFound) throw Failure("no file " + path);
    if (!bytes) throw Failure("cannot read " + path + ": " + error.Reason());
    return std::move(*bytes);
}

void SaveFile(const std::string& path, const std::string& bytes, SaveOptions options = {}) {
    FileError error;
    if (!SaveFileSafely(Path(path), bytes, &error, options))
        throw Failure("cannot write " + path + ": " + error.Reason());
}

VersionNumber ParseVersion(const std::string& text) {
    // What the version file's first line starts with; "2.1" is offered as 2, so 2 is signed.
    constexpr std::size_t kMaxDigits = 18;
    if (text.empty() || text.size() > kMaxDigits || text.find_first_not_of("0123456789") != std::string::npos)
        throw Failure("VERSION must be the whole number the version file starts with, not \"" + text + "\"");
    const VersionNumber version = ParseLeadingNumber(text);
    if (version < 1) throw Failure("VERSION must be 1 or more");
    return version;
}

UpdateFileKind ParseKind(const std::string& text) {
    if (text == "program") return UpdateFileKind::Program;
    if (text == "replacer") return UpdateFileKind::Replacer;
    throw Failure("the file's kind is \"program\" or \"replacer\", not \"" + text + "\"");
}

std::string PemOfPrivateKey(const std::string& raw) {
    std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_PKEY_new_raw_private_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(raw.data()), raw.size()));
    std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
    if (!key || !bio || PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        throw Failure("cannot encode the private key");
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

std::string RawPrivateKeyFromPem(const std::string& path) {
    const std::string pem = ReadFile(path);
    std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    std::unique_ptr<EVP_PKEY, KeyFree> key(
        bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    std::string raw(kUpdateKeyBytes, '\0');
    std::size_t length = raw.size();
    if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519 ||
        EVP_PKEY_get_raw_private_key(key.get(), reinterpret_cast<unsigned char*>(raw.data()), &length) != 1 ||
        length != kUpdateKeyBytes)
        throw Failure(path + " holds no Ed25519 private key");
    return raw;
}

void Need(const std::vector<std::string>& args, std::size_t count) {
    if (args.size() != count) throw WrongArguments(args[0] + " takes " + std::to_string(count - 1) + " arguments");
}

int Keygen(const std::vector<std::string>& args, std::ostream& out) {
    Need(args, 3);
    const std::string& privatePath = args[1];
    const std::string& publicPath = args[2];
    // Neither file is replaced: a lost release key means users can no longer be updated.
    for (const std::string& path : {privatePath, publicPath}) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(path, error))) throw Failure(path + " exists already; nothing was written");
    }
    const std::optional<UpdateKeyPair> keys = GenerateUpdateKeyPair();
    if (!keys) throw Failure("cannot make a key pair");
    // The private key is for its owner's eyes only, whatever the umask allows.
    SaveFile(privatePath, PemOfPrivateKey(keys->privateKey), SaveOptions{.newFileMode = 0600, .exactNewMode = true});
    try {
        SaveFile(publicPath, FormatUpdatePublicKey(keys->publicKey) + "\n", SaveOptions{.newFileMode = 0644});
    } catch (const Failure&) {
        std::error_code ignored;
        fs::remove(privatePath, ignored);
        throw;
    }
    out << "private key (keep it secret): " << privatePath << "\npublic key: " << publicPath << "\n";
    return 0;
}

int Sign(const std::vector<std::string>& args, std::ostream& out) {
    Need(args, 5);
    const std::string privateKey = RawPrivateKeyFromPem(args[1]);
    const VersionNumber version = ParseVersion(args[2]);
    const UpdateFileKind kind = ParseKind(args[3]);
    const std::string& file = args[4];
    const std::optional<std::string> signature = SignUpdateFile(privateKey, kind, version, ReadFile(file));
    if (!signature) throw Failure("cannot sign " + file);
    SaveFile(file + ".sig", *signature);
    out << "signed " << file << " as the " << args[3] << " of version " << version << ": " << file << ".sig\n";
    return 0;
}

int Verify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Need(args, 5);
    const std::optional<UpdatePublicKey> key = ParseUpdatePublicKey(ReadFile(args[1]));
    if (!key) throw Failure(args[1] + " holds no public key (64 hexadecimal digits)");
    const VersionNumber version = ParseVersion(args[2]);
    const UpdateFileKind kind = ParseKind(args[3]);
    const std::string& file = args[4];
    if (!VerifyUpdateFile(*key, kind, version, ReadFile(file), ReadFile(file + ".sig"))) {
        err << "qen-release: " << file << ".sig does not sign " << file << " as the " << args[3] << " of version "
            << version << " under this key\n";
        return 1;
    }
    out << file << ": good signature for the " << args[3] << " of version " << version << "\n";
    return 0;
}

}  // namespace

int RunRelease(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const tool::CommandLineTool tool("qen-release", kUsage, out, err);
    if (auto answered = tool.AnswerHelpOrVersion(args)) return *answered;
    try {
        const std::string command = args.empty() ? "" : args[0];
        if (command == "keygen") return Keygen(args, out);
        if (command == "sign") return Sign(args, out);
        if (command == "verify") return Verify(args, out, err);
        return tool.UsageError(command.empty() ? "no command given" : "unknown command " + command);
    } catch (const WrongArguments& wrong) {
        return tool.UsageError(wrong.what());
    } catch (const Failure& failure) {
        return tool.Error(tool::kUsageOrFile, failure.what());
    }
}

}  // namespace qen::release
