#pragma once
// Package fixtures made with the packaging tool's own writer, plus tampering helpers.
#include <gtest/gtest.h>

#include <string>

#include "package/ContentHash.h"
#include "package/PackageDigest.h"
#include "package/PackageFormat.h"
#include "qenpack/PackageBlockWriter.h"

namespace qen::test {

inline PackageDescription SmallSite() {
    PackageDescription site;
    site.title = "Dog Training Academy";
    site.settingsName = "DogTraining";
    site.footerName = "Rex & Co";
    site.footerLink = "http://rex.example/";
    site.maxSideBanners = 3;
    site.branding.topBanners = {{"banners.example/top.png", "http://shop.example/top"}};
    site.branding.sideBanners = {{"http://banners.example/s1.png", "http://shop.example/s1"},
                                 {"HTTPS://banners.example/s2.png", "shop.example/it's"}};
    site.branding.menuTextLinks = {{"<b>Puppy</b> classes", "http://classes.example/"}};
    site.members = {
        {"SiteNiche.txt", "dog_training - cat - Wolf\r\nhttp://articles.example/Pets:Dogs\r\n"},
        {"template.html",
         "<html><title>%%pagetitle%%</title><h1>TWX_REPLACE_EBOOKNAME %%SiteNiche%%</h1>"
         "<a href=\"\">UserLink</a><BR>%%toplefttext%%|%%toprighttext%%<div>%%videoposts%%</div>"
         "%%previousnext%%<a href=\"%%footerlink%%\" target=_blank>%%footertext%%</a></html>"},
        {"help.html", "<html><head>x</head><body class=\"h\">Help for %%siteniche%% (%%SiteNiche%%)</body></html>"},
        {"banners.js",
         "var TopBannerUrls = new Array ();\nvar TopBannerLinks = new Array ();\n"
         "var SideBannerUrls = new Array ();\nvar SideBannerLinks = new Array ();\nvar MaxSideBanners = 5;\n"},
        {"logo.png", std::string("\x89PNG\0\x01\x02target=_blank", 20)},
        {"notes.txt", "not unpacked"},
    };
    return site;
}

inline std::string MakeBlock(const PackageDescription& description) {
    std::string error;
    auto block = MakePackageBlock(description, error);
    EXPECT_TRUE(block) << error;
    return block ? *block : std::string();
}

// Signs the header again after a test changed it, as a hostile packager could, with the
// content hash (when one is recorded) made anew as well.
inline void Resign(std::string& image, std::size_t blockStart = 0) {
    const std::string_view recorded =
        std::string_view(image).substr(blockStart + block::kContentHash, block::kContentHashSize);
    if (recorded.find_first_not_of('\0') != std::string_view::npos) {
        const std::string hash = ComputeContentHash(image, blockStart);
        if (!hash.empty()) image.replace(blockStart + block::kContentHash, hash.size(), hash);
    }
    const std::string digest = ComputeKeyedPackageDigest(
        std::string_view(image).substr(blockStart + block::kDigested, block::kDigestedSize));
    image.replace(blockStart + block::kDigest, digest.size(), digest);
}

inline std::size_t MemberRow(std::size_t row) { return block::kMemberTable + row * block::kMemberRowSize; }

}  // namespace qen::test
