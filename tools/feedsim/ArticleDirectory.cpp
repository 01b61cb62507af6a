#include "feedsim/ArticleDirectory.h"

#include <cctype>
#include <vector>

#include "feedsim/Generated.h"

namespace qen::feedsim {

namespace {

enum class TitleForm { Plain, Cdata, Padded };

struct TitlePattern {
    std::string_view text;  // UTF-8
    TitleForm form;
};

constexpr TitlePattern kTitles[] = {
    {"How to Start With {T}: {N} Simple Steps", TitleForm::Plain},
    {"{T} & You: {N} Things Nobody Tells You", TitleForm::Cdata},
    {"Why {T} Matters More Than You Think (Part {N})", TitleForm::Plain},
    {"The Caf\xC3\xA9 Owner's Guide to {T}, Chapter {N}", TitleForm::Plain},
    {"{T} \xE2\x80\x94 {N} Myths and Facts", TitleForm::Plain},
    {"{T} for Beginners, Lesson {N}", TitleForm::Padded},
    {"{N} {T} Tips That Really Work", TitleForm::Plain},
    {"{T} on a Budget (\xE2\x82\xAC{N} or Less)", TitleForm::Plain},
    {"Q&A #{N}: Your {T} Questions Answered", TitleForm::Cdata},
    {"\xE2\x80\x9C{T}\xE2\x80\x9D Done Right, Part {N}", TitleForm::Plain},
};

constexpr std::string_view kFallbackTopic = "Healthy Living";

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string TopicOfCategory(std::string_view path) {
    std::string_view name = path;
    if (std::size_t colon = name.rfind(':'); colon != std::string_view::npos) name = name.substr(colon + 1);
    if (name.ends_with(".xml")) name.remove_suffix(4);
    std::string topic = TopicOf(name);
    return topic.empty() ? std::string(kFallbackTopic) : topic;
}

std::string Slug(std::string_view title) {
    std::string slug;
    for (char c : title) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            slug += c;
        } else if (!slug.empty() && slug.back() != '-') {
            slug += '-';
        }
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

std::string EscapeHtmlText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

std::vector<std::string> Paragraphs(std::string_view topic, std::string_view id) {
    const std::string t(topic);
    const std::string lower = [&] {
        std::string s;
        for (char c : t) s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }();
    return {
        "Every " + lower + " plan starts with patience. Owners who set aside ten quiet minutes a day see steady "
        "progress, while those who cram an hour into the weekend often find that the lessons do not stick. "
        "Keep sessions short, end on a success and write down what worked.",
        "Most people notice a change within a few weeks [Editor's note: results vary from case to case]. "
        "The first days are the hardest, because old habits push back; after that, the new routine begins to "
        "carry itself and the effort you put in starts to pay off.",
        "The community at http://www.example.com/forum, where owners share their stories, is a good place to "
        "ask questions. You will find that almost every problem with " + lower +
        " has been met, and solved, by someone before you.",
        "[http://www.example.com/guide]Download the free " + t + " guide",
        "Don\xE2\x80\x99t give up when a day goes badly \xE2\x80\x94 \xE2\x80\x9Csmall steps\xE2\x80\x9D add up, "
        "and a calm, caf\xC3\xA9-style mood at home helps more than any gadget. Reward what you want to see "
        "again, ignore what you do not, and be consistent about both.",
        "[https://www.example.org/basics]Read the basics first",
        "Jane Doe has written about " + lower + " for twenty years. Article " + std::string(id) +
        " is part of her series; more of her work is at http://www.example.com/janedoe for readers who want to "
        "go further.",
    };
}

// Lines of at most `width` characters, broken at blanks.
std::string HardWrap(const std::string& paragraph, std::size_t width, std::string_view lineBreak) {
    std::string out;
    std::size_t lineLength = 0;
    std::size_t start = 0;
    while (start < paragraph.size()) {
        std::size_t end = paragraph.find(' ', start);
        if (end == std::string::npos) end = paragraph.size();
        const std::size_t wordLength = end - start;
        if (lineLength > 0 && lineLength + 1 + wordLength > width) {
            out += lineBreak;
            lineLength = 0;
        } else if (lineLength > 0) {
            out += ' ';
            ++lineLength;
        }
        out.append(paragraph, start, wordLength);
        lineLength += wordLength;
        start = end + 1;
    }
    return out;
}

}  // namespace

std::string ArticleDirectory::CategoryFeed(std::string_view categoryPath, std::string_view host) {
    const std::string topic = TopicOfCategory(categoryPath);
    const std::uint64_t seed = Hash(categoryPath);
    const long base = 6'000'000 + static_cast<long>(seed % 3'000'000);
    const std::string site = "http://" + std::string(host);

    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n";
    feed += "<title>EzineArticles.com - " + EscapeXml(topic) + " Articles</title>\n";
    feed += "<link>" + site + "/?cat=" + EscapeXml(categoryPath) + "</link>\n";
    feed += "<description>The newest " + EscapeXml(topic) + " articles</description>\n";
    feed += "<language>en-us</language>\n";

    std::lock_guard lock(mutex_);
    for (int i = 0; i < kItemsPerFeed; ++i) {
        const std::string id = std::to_string(base - i * 13L);
        const TitlePattern& pattern = kTitles[i % std::size(kTitles)];
        const std::string title = FillPattern(pattern.text, topic, i / static_cast<int>(std::size(kTitles)) + 3);
        listed_[id] = {title, topic};

        std::string titleElement;
        switch (pattern.form) {
            case TitleForm::Plain: titleElement = EscapeXml(title); break;
            case TitleForm::Cdata: titleElement = "<![CDATA[" + title + "]]>"; break;
            case TitleForm::Padded: titleElement = "\n    " + EscapeXml(title) + "\n  "; break;
        }
        feed += "<item>\n<title>" + titleElement + "</title>\n";
        feed += "<link>" + site + "/" + Slug(title) + "/" + id + "</link>\n";
        feed += "<description>" + EscapeXml(topic) + ": an article for readers who want results.</description>\n";
        feed += "<pubDate>" + std::string("Wed, ") + std::to_string(28 - i % 28) + " " + kMonths[(i / 28) % 12] +
                " 2013 12:00:00 GMT</pubDate>\n";
        feed += "<guid isPermaLink=\"false\">" + id + "</guid>\n</item>\n";
    }
    feed += "</channel>\n</rss>\n";
    return feed;
}

ArticleDirectory::Article ArticleDirectory::Find(std::string_view id) {
    {
        std::lock_guard lock(mutex_);
        if (auto found = listed_.find(id); found != listed_.end()) return found->second;
    }
    const std::uint64_t seed = Hash(id);
    const TitlePattern& pattern = kTitles[seed % std::size(kTitles)];
    return {FillPattern(pattern.text, kFallbackTopic, static_cast<int>(seed % 20) + 2), std::string(kFallbackTopic)};
}

std::string ArticleDirectory::ArticleText(std::string_view id, std::string_view host) {
    const Article article = Find(id);
    const std::vector<std::string> paragraphs = Paragraphs(article.topic, id);
    const std::string source = "Article Source: http://" + std::string(host) + "/?id=" + std::string(id);

    // Authors paste their text in many shapes; the page shows it as it came.
    std::string body;
    switch (Hash(id, 7) % 4) {
        case 0:  // a line per paragraph, blank lines between
            for (const auto& p : paragraphs) body += p + "\r\n\r\n";
            break;
        case 1:  // hard-wrapped
            for (const auto& p : paragraphs) body += HardWrap(p, 68, "\r\n") + "\r\n\r\n";
            break;
        case 2:  // Unix line breaks
            for (const auto& p : paragraphs) body += p + "\n\n";
            break;
        default:  // a line per paragraph, no blank lines
            for (const auto& p : paragraphs) body += p + "\r\n";
            break;
    }
    const std::string lineBreak = Hash(id, 7) % 4 == 2 ? "\n" : "\r\n";
    return article.title + lineBreak + lineBreak + body + source + lineBreak;
}

std::string ArticleDirectory::PublisherPage(std::string_view id, std::string_view host) {
    const Article article = Find(id);
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=windows-1252\">\n<title>EzineArticles.com Publisher - " +
        EscapeHtmlText(article.title) +
        "</title></head>\n<body>\n<h1>Publish this article</h1>\n"
        "<p>Copy the text below into your site or newsletter. Keep the source line.</p>\n"
        "<form action=\"#\"><textarea name=\"article\" rows=\"25\" cols=\"90\" readonly=\"readonly\">" +
        EscapeHtmlText(ArticleText(id, host)) + "</textarea></form>\n<p>Article ID: " +
        EscapeHtmlText(id) + "</p>\n</body></html>\n";
    return Utf8ToWindows1252(page);
}

std::string ArticleDirectory::ArticleView(std::string_view id, std::string_view host) {
    const Article article = Find(id);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + EscapeHtmlText(article.title) +
           "</title></head>\n<body><pre style=\"white-space: pre-wrap\">" +
           EscapeHtmlText(ArticleText(id, host)) + "</pre></body></html>\n";
}

}  // namespace qen::feedsim
