#pragma once
// A text its holders share without copies: the import's preview of its
// source, and the record store listed from the same text, which refers to
// the preview's lines instead of copying them.
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace pelmar {

class SharedText {
public:
    SharedText() = default;
    SharedText(std::string text) : text_(std::make_shared<const std::string>(std::move(text))) {}
    SharedText(const char* text) : SharedText(std::string(text)) {}

    operator std::string_view() const noexcept { return text_ ? std::string_view(*text_) : std::string_view(); }
    std::string_view View() const noexcept { return *this; }
    bool empty() const noexcept { return View().empty(); }
    std::size_t size() const noexcept { return View().size(); }
    void clear() noexcept { text_.reset(); }

    // The text itself, for a holder that keeps views into it.
    const std::shared_ptr<const std::string>& Shared() const noexcept { return text_; }

    friend bool operator==(const SharedText& a, std::string_view b) noexcept { return a.View() == b; }
    friend std::ostream& operator<<(std::ostream& out, const SharedText& text) { return out << text.View(); }

private:
    std::shared_ptr<const std::string> text_;
};

}  // namespace pelmar
