#include "articles/BracketedLinks.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <vector>

namespace qen {

namespace {

constexpr std::string_view kLinkStart = "<a href=\"";  // takes the place of "["
constexpr std::string_view kLinkMiddle = "\">";        // takes the place of "]"
constexpr std::string_view kLinkEnd = "</a>";          // goes in front of the line end
constexpr std::size_t kMaxLinkText = 100;

using Position = std::uint32_t;

// What stands at a position of the original text in the edited text.
enum class Slot : std::uint8_t { Original, Removed, LinkStart, LinkMiddle };

// The passes, carried out on a record of edits instead of on the text itself: a pass
// never moves text, it only marks positions and notes where a "</a>" goes. The edits keep
// the original characters in their order and the inserted markup holds no bracket, so
// "the first '[' of the edited text" is the next unprocessed "[" of the original, and
// "the first ']' after it" the next "]" that no earlier pass has used.
class BracketPasses {
public:
    explicit BracketPasses(std::string_view text) : text_(text), slots_(text.size(), Slot::Original) {
        for (Position at = 0; at < text.size(); ++at) {
            if (text[at] == '[') opens_.push_back(at);
            if (text[at] == ']') closes_.push_back(at);
        }
        unusedClose_.resize(closes_.size() + 1);
        for (std::size_t k = 0; k < unusedClose_.size(); ++k) unusedClose_[k] = static_cast<Position>(k);
    }

    std::string Run() {
        std::size_t open = 0;
        while (open < opens_.size()) {
            const Position p = opens_[open];
            const std::size_t closeIndex = NextUnusedClose(
                static_cast<std::size_t>(std::lower_bound(closes_.begin(), closes_.end(), p) - closes_.begin()));
            // No "]" after the first "[" means none after any later "[" either.
            if (closeIndex == closes_.size()) break;
            const Position q = closes_[closeIndex];

            if (IsAddress(p, q)) {
                if (const std::size_t end = LinkTextEnd(q); end != kNoLink) {
                    slots_[p] = Slot::LinkStart;
                    slots_[q] = Slot::LinkMiddle;
                    MarkUsed(closeIndex);
                    // The address stays in the text: its own "[" come next.
                    assert(linkEnds_.empty() || linkEnds_.back() <= end);
                    linkEnds_.push_back(static_cast<Position>(end));
                    ++open;
                    continue;
                }
            }
            // "[T]" goes, with whatever earlier passes put inside it.
            std::fill(slots_.begin() + p, slots_.begin() + q + 1, Slot::Removed);
            open = static_cast<std::size_t>(std::upper_bound(opens_.begin(), opens_.end(), q) - opens_.begin());
        }
        std::string out;
        out.reserve(text_.size() + linkEnds_.size() * (kLinkStart.size() + kLinkMiddle.size() + kLinkEnd.size()));
        Walk(0, [&out](Position, std::string_view piece, bool) {
            out.append(piece);
            return true;
        });
        return out;
    }

private:
    static constexpr std::size_t kNoLink = std::numeric_limits<std::size_t>::max();

    // Calls take(position, piece, isOriginalCharacter) for the edited text from an original
    // position on: at each position first the "</a>" inserted before it, then what stands
    // there. Stops when take gives false or after the "</a>" behind the last character.
    template <typename Take>
    void Walk(Position from, Take take) const {
        auto end = std::lower_bound(linkEnds_.begin(), linkEnds_.end(), from);
        for (Position at = from;; ++at) {
            // A "</a>" in front of a removed position stood inside a removed "[T]".
            const bool removed = at < text_.size() && slots_[at] == Slot::Removed;
            for (; end != linkEnds_.end() && *end == at; ++end)
                if (!removed && !take(at, kLinkEnd, false)) return;
            if (at == text_.size()) return;
            const std::string_view piece = Piece(at);
            if (!piece.empty() && !take(at, piece, slots_[at] == Slot::Original)) return;
        }
    }

    std::string_view Piece(Position at) const {
        switch (slots_[at]) {
            case Slot::Original: return text_.substr(at, 1);
            case Slot::Removed: return {};
            case Slot::LinkStart: return kLinkStart;
            case Slot::LinkMiddle: return kLinkMiddle;
        }
        return {};
    }

    // Whether the edited text between the "[" at p and the "]" at q begins like an address.
    bool IsAddress(Position p, Position q) const {
        std::string start;
        Walk(p + 1, [&](Position at, std::string_view piece, bool original) {
            if (at == q && original) return false;
            start.append(piece);
            return start.size() < 8;
        });
        return start.starts_with("http://") || start.starts_with("https://");
    }

    // Where the line after the "]" at q ends (a "\r", a "\n" or the end of the text), or
    // kNoLink when that rest of the line cannot be a link text.
    std::size_t LinkTextEnd(Position q) const {
        std::size_t length = 0;
        std::size_t end = text_.size();
        bool fits = true;
        Walk(q + 1, [&](Position at, std::string_view piece, bool original) {
            if (original && (piece[0] == '\r' || piece[0] == '\n')) {
                end = at;
                return false;
            }
            length += piece.size();
            fits = length <= kMaxLinkText && piece.find_first_of("<>") == std::string_view::npos;
            return fits;
        });
        return fits ? end : kNoLink;
    }

    std::size_t NextUnusedClose(std::size_t index) {
        // Union-find with path halving over the "]" that links have used.
        while (unusedClose_[index] != index) {
            unusedClose_[index] = unusedClose_[unusedClose_[index]];
            index = unusedClose_[index];
        }
        return index;
    }
    void MarkUsed(std::size_t index) { unusedClose_[index] = static_cast<Position>(index + 1); }

    std::string_view text_;
    std::vector<Slot> slots_;
    std::vector<Position> opens_;
    std::vector<Position> closes_;
    std::vector<Position> unusedClose_;
    std::vector<Position> linkEnds_;  // in order: each pass's line end lies behind the last
};

}  // namespace

std::string LinkBracketedAddresses(std::string_view text) {
    if (text.find('[') == std::string_view::npos) return std::string(text);
    // Positions are 32-bit; the texts come from a download buffer of 4 MB.
    if (text.size() >= std::numeric_limits<Position>::max()) return std::string(text);
    return BracketPasses(text).Run();
}

}  // namespace qen
