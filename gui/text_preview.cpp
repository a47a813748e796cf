#include "gui/text_preview.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace pelmar::gui {
namespace {

constexpr int kTabWidth = 8;
constexpr int kMargin = 4;

// Display columns [first, first + count) of a line, tabs expanded. Only the
// bytes that can reach the last column shown are decoded: a character is at
// most four bytes and takes at least one column.
QString Columns(std::string_view line, int first, int count) {
    const std::size_t bytes = std::min(line.size(), static_cast<std::size_t>(first + count) * 4);
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(bytes));
    QString shown;
    int column = 0;
    for (const QChar c : text) {
        const int width = c == QLatin1Char('\t') ? kTabWidth - column % kTabWidth : 1;
        for (int i = 0; i < width; ++i, ++column) {
            if (column >= first + count) return shown;
            if (column >= first) shown += c == QLatin1Char('\t') ? QChar(QLatin1Char(' ')) : c;
        }
    }
    return shown;
}

int ColumnCount(std::string_view line) {
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    int column = 0;
    for (const QChar c : text) column += c == QLatin1Char('\t') ? kTabWidth - column % kTabWidth : 1;
    return column;
}

}  // namespace

TextPreview::TextPreview(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void TextPreview::SetText(const SharedText& shared) {
    text_ = shared.Shared();
    const std::string_view text = shared;
    starts_.assign(1, 0);
    std::size_t widest = 0, widestStart = 0, widestEnd = 0;
    auto lineEnds = [&](std::size_t end, std::size_t next) {
        if (end - starts_.back() > widest) {
            widest = end - starts_.back();
            widestStart = starts_.back();
            widestEnd = end;
        }
        starts_.push_back(next);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            const std::size_t end = i;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lineEnds(end, i + 1);
        } else if (text[i] == '\n') {
            lineEnds(i, i + 1);
        }
    }
    if (text.size() - starts_.back() > widest) {
        widestStart = starts_.back();
        widestEnd = text.size();
    }
    widestColumns_ = ColumnCount(std::string_view(text).substr(widestStart, widestEnd - widestStart));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
}

std::string_view TextPreview::Line(int line) const {
    if (!text_ || line < 0 || line >= LineCount()) return {};
    const std::string_view text(*text_);
    const std::size_t start = starts_[static_cast<std::size_t>(line)];
    if (line + 1 == LineCount()) return text.substr(start);
    std::size_t end = starts_[static_cast<std::size_t>(line) + 1] - 1;  // the break's last character
    if (text[end] == '\n' && end > start && text[end - 1] == '\r') --end;
    return text.substr(start, end - start);
}

int TextPreview::VisibleLines() const {
    return std::max(1, viewport()->height() / std::max(1, fontMetrics().height()));
}

int TextPreview::VisibleColumns() const {
    return std::max(
        1, (viewport()->width() - 2 * kMargin) / std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))));
}

void TextPreview::UpdateScrollBars() {
    const int lines = text_ ? LineCount() : 0;
    verticalScrollBar()->setRange(0, std::max(0, lines - VisibleLines()));
    verticalScrollBar()->setPageStep(VisibleLines());
    horizontalScrollBar()->setRange(0, std::max(0, widestColumns_ - VisibleColumns() + 1));
    horizontalScrollBar()->setPageStep(VisibleColumns());
}

void TextPreview::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TextPreview::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Home: (control ? verticalScrollBar() : horizontalScrollBar())->setValue(0); return;
        case Qt::Key_End:
            if (control)
                verticalScrollBar()->setValue(verticalScrollBar()->maximum());
            else
                horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
            return;
        default: QAbstractScrollArea::keyPressEvent(event);
    }
}

void TextPreview::paintEvent(QPaintEvent* /*event*/) {
    if (!text_) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = fontMetrics();
    const int first = verticalScrollBar()->value();
    const int column = horizontalScrollBar()->value();
    const int last = std::min(LineCount(), first + VisibleLines() + 1);
    int y = metrics.ascent();
    for (int line = first; line < last; ++line, y += metrics.height())
        painter.drawText(kMargin, y, Columns(Line(line), column, VisibleColumns() + 1));
}

}  // namespace pelmar::gui
