#pragma once
// The article directory: category feeds (RSS in UTF-8) and the publisher page of each
// article, whose text stands inside a textarea. An article listed in a feed keeps its
// title on its pages; any other id still gets an article.
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace qen::feedsim {

class ArticleDirectory {
public:
    static constexpr int kItemsPerFeed = 150;

    // "Pets:Dog-Training.xml": a channel title, then the category's newest items.
    std::string CategoryFeed(std::string_view categoryPath, std::string_view host);
    // Windows-1252, as the directory serves it.
    std::string PublisherPage(std::string_view id, std::string_view host);
    // Where the article's "Article Source:" address leads.
    std::string ArticleView(std::string_view id, std::string_view host);

    // The plain text of an article (UTF-8): title line, body and source line.
    std::string ArticleText(std::string_view id, std::string_view host);

private:
    struct Article {
        std::string title;  // UTF-8, as listed
        std::string topic;
    };
    Article Find(std::string_view id);

    std::mutex mutex_;
    std::map<std::string, Article, std::less<>> listed_;
};

}  // namespace qen::feedsim
