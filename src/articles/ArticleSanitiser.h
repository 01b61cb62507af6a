#pragma once
// The article text comes from a remote host over plain http and is written into a local
// page whose links can act on the user's data and start programs. Before it is written,
// only markup that cannot run script is left standing.
#include <string>
#include <string_view>

namespace qen {

// Keeps the tags of an allow-list and writes every other "<" as "&lt;", so refused markup
// shows as text:
// - elements a, br, p, div, b, i, u, em, strong, sub, sup;
// - on a: href to a plain http or https address or to one of the article page's own links
//   (saving or unsaving `articleId`, going back), never to the host of `launchAddress` nor
//   to a name the link commands answer to; title; on div and p: class, align.
// An allowed tag with only allowed attributes stays byte for byte as it was; one with a
// refused attribute is written again without it. Text and character references between
// the tags are not touched.
std::string SanitizeArticleHtml(std::string_view html, std::string_view articleId, std::string_view launchAddress);

}  // namespace qen
