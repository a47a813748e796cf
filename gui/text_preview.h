#pragma once
// The whole-file preview of the wizard's first page: a read-only view over
// the text the wizard loaded that paints only the lines in sight, so that a
// file of a million lines shows at once. Lines break at CR LF, CR and LF, as
// the wizard counts them; the text is shown in a fixed-pitch font with tabs
// every eight columns.
#include <QAbstractScrollArea>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/shared_text.h"

namespace pelmar::gui {

class TextPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TextPreview(QWidget* parent = nullptr);

    // Shows `text`, which the caller keeps unchanged until the next call.
    // Shows `text`, which it keeps (shared, not copied).
    void SetText(const SharedText& text);
    int LineCount() const noexcept { return static_cast<int>(starts_.size()); }
    std::string_view Line(int line) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateScrollBars();
    int VisibleLines() const;
    int VisibleColumns() const;

    std::shared_ptr<const std::string> text_;
    std::vector<std::size_t> starts_;  // where each line starts
    int widestColumns_ = 0;
};

}  // namespace pelmar::gui
