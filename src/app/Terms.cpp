#include "app/Terms.h"

#include "platform/Settings.h"
#include "platform/System.h"
#include "platform/Ui.h"

namespace qen {

namespace {

constexpr const char* kDefaultCaption = "Qen Runtime";

const char kEmbeddedTerms[] =
    "Use of this software requires that you agree to the terms and conditions that follow. If "
    "you do not agree, choose \"No\" and the program will close without changing anything on "
    "your computer.\r\n\r\n"
    "1. The product. This program and the content it carries (the pages, style sheets, "
    "images, help text and branding shown in its window) are supplied together as one product "
    "by its distributor. You may install and use the product on computers that you own or "
    "control, for your own personal, non-commercial use.\r\n\r\n"
    "2. Restrictions. You may not sell, rent or sublicense the product, remove or alter its "
    "branding or notices, or separate the content from the program in order to distribute it "
    "on its own. You may pass on an unmodified copy of the product free of charge, provided "
    "these terms go with it.\r\n\r\n"
    "3. Outside services. The product shows lists of videos and articles that it obtains from "
    "public services on the internet, and opens links to other web sites. Those services and "
    "sites are not operated by the distributor or by the authors of the software; their "
    "content belongs to its owners, is offered under their own terms, and may change or stop "
    "being available at any time.\r\n\r\n"
    "4. Your data. Your playlist, saved articles, notes and diary are kept in a file on your "
    "own computer, beside the product, with a backup copy in your temporary folder. Nothing "
    "you write in the notepad or the diary is sent anywhere. You are responsible for keeping "
    "copies of anything that matters to you.\r\n\r\n"
    "5. Updates. The product may ask a server of the distributor for a newer version when it "
    "starts, and may offer to download and install it.\r\n\r\n"
    "6. No warranty. The product is provided \"as is\", without warranty of any kind, express "
    "or implied, including fitness for a particular purpose. The whole risk as to its quality "
    "and performance is with you.\r\n\r\n"
    "7. Limitation of liability. In no event shall the distributor or the authors be liable "
    "for any damages arising out of the use of or the inability to use the product, even if "
    "advised of the possibility of such damages.\r\n\r\n"
    "8. Ending. These terms apply for as long as you use the product. They end automatically "
    "if you fail to comply with them; you must then stop using the product and delete your "
    "copies of it.\r\n\r\n"
    "By choosing \"Yes\" you confirm that you have read, understood and accepted these terms "
    "and conditions.";

const char kSeparateTerms[] =
    "Use of this software requires that you agree to the terms and conditions that follow. If "
    "you do not agree, choose \"No\" and the program will close without changing anything on "
    "your computer.\r\n\r\n"
    "1. The software. Qen Runtime is a viewer for content packages (\".qen\" files). Each "
    "package holds the pages, style sheets, images and help text of one site, together with "
    "the branding of the distributor who made it. You may install and use the software on "
    "computers that you own or control, for your own personal, non-commercial use.\r\n\r\n"
    "2. Packages. A package belongs to the distributor who supplied it and may carry terms of "
    "its own; the authors of the software are not responsible for what a package contains. "
    "Open only packages that come from a source you trust.\r\n\r\n"
    "3. Restrictions. You may not sell, rent or sublicense the software, or remove or alter "
    "its notices. You may pass on an unmodified copy of it free of charge, provided these "
    "terms go with it.\r\n\r\n"
    "4. Outside services. The software shows lists of videos and articles that it obtains "
    "from public services on the internet, and opens links to other web sites. Those services "
    "and sites are not operated by the authors of the software; their content belongs to its "
    "owners, is offered under their own terms, and may change or stop being available at any "
    "time.\r\n\r\n"
    "5. Your data and your computer. Your playlist, saved articles, notes and diary are kept "
    "in a user data file (\".lum\") beside the package, with a backup copy in your temporary "
    "folder. The software makes itself the program that opens \".qen\" and \".lum\" files for "
    "your user account each time it starts.\r\n\r\n"
    "6. Updates. The software may ask an update server for a newer version when it starts, "
    "and may offer to download and install it.\r\n\r\n"
    "7. No warranty. The software is provided \"as is\", without warranty of any kind, "
    "express or implied, including fitness for a particular purpose. The whole risk as to its "
    "quality and performance is with you.\r\n\r\n"
    "8. Limitation of liability. In no event shall the authors or any distributor be liable "
    "for any damages arising out of the use of or the inability to use the software, even if "
    "advised of the possibility of such damages.\r\n\r\n"
    "9. Ending. These terms apply for as long as you use the software. They end automatically "
    "if you fail to comply with them; you must then stop using it and delete your copies.\r\n\r\n"
    "By choosing \"Yes\" you confirm that you have read, understood and accepted these terms "
    "and conditions.";

}  // namespace

const std::string& EmbeddedPackageTerms() {
    static const std::string text = kEmbeddedTerms;
    return text;
}

const std::string& SeparatePackageTerms() {
    static const std::string text = kSeparateTerms;
    return text;
}

bool AskForTerms(Ui& ui, TermsDialog& dialog, Settings& settings, const std::string& productKey, bool embedded) {
    // A program that carries its package is the distributor's product: it speaks under the
    // package's title. A separate package is opened by the runtime under its own name.
    const std::string caption = embedded ? ui.ApplicationName() : std::string(kDefaultCaption);
    const std::string& text = embedded ? EmbeddedPackageTerms() : SeparatePackageTerms();
    if (!dialog.ShowTermsDialog(caption, text)) return false;
    settings.SetInt(productKey, "Terms", 1);
    return true;
}

bool TermsAcceptedBefore(Settings& settings, const std::string& productKey) {
    return settings.GetInt(productKey, "Terms", 0) != 0;
}

TermsAnswer EnsureTermsAccepted(Ui& ui, TermsDialog& dialog, Settings& settings, const std::string& productKey,
                                bool embedded) {
    if (TermsAcceptedBefore(settings, productKey)) return TermsAnswer::AcceptedBefore;
    return AskForTerms(ui, dialog, settings, productKey, embedded) ? TermsAnswer::AcceptedNow : TermsAnswer::Declined;
}

}  // namespace qen
