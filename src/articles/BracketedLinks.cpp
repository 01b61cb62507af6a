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
    explicit BracketPasses(std::string_view text) : text_(text), slots_(text.size(), Slot::Original) {}

    std::string Run() {
        // Every "[" after the current one is still unprocessed, and every "]" a link has
        // used lies before the next unused one, so both searches only move forward.
        std::size_t lastUsedClose = 0;
        for (std::size_t p = text_.find('['); p != std::string_view::npos;) {
            const std::size_t q = text_.find(']', std::max(p, lastUsedClose) + 1);
            // No "]" after the first "[" means none after any later "[" either.
            if (q == std::string_view::npos) break;

            if (IsAddress(static_cast<Position>(p), static_cast<Position>(q))) {
                if (const std::size_t end = LinkTextEnd(static_cast<Position>(q)); end != kNoLink) {
                    slots_[p] = Slot::LinkStart;
                    slots_[q] = Slot::LinkMiddle;
                    lastUsedClose = q;
                    assert(linkEnds_.empty() || linkEnds_.back() <= end);
                    linkEnds_.push_back(static_cast<Position>(end));
                    // The address stays in the text: its own "[" come next.
                    p = text_.find('[', p + 1);
                    continue;
                }
            }
            // "[T]" goes, with whatever earlier passes put inside it.
            std::fill(slots_.begin() + static_cast<std::ptrdiff_t>(p),
                      slots_.begin() + static_cast<std::ptrdiff_t>(q + 1), Slot::Removed);
            p = text_.find('[', q + 1);
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
        char start[8];
        std::size_t length = 0;
        Walk(p + 1, [&](Position at, std::string_view piece, bool original) {
            if (at == q && original) return false;
            for (std::size_t k = 0; k < piece.size() && length < sizeof start; ++k) start[length++] = piece[k];
            return length < sizeof start;
        });
        const std::string_view begins(start, length);
        return begins.starts_with("http://") || begins.starts_with("https://");
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

    std::string_view text_;
    std::vector<Slot> slots_;
    std::vector<Position> linkEnds_;  // in order: each pass's line end lies behind the last
};

}  // namespace

std::string LinkBracketedAddresses(std::string text) {
    if (text.find('[') == std::string::npos) return text;
    // Positions are 32-bit; the texts come from a download buffer of 4 MB.
    if (text.size() >= std::numeric_limits<Position>::max()) return text;
    return BracketPasses(text).Run();
}

}  // namespace qen
