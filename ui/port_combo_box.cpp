// The port list that cuts long names where they differ from the others.
#include "ui/port_combo_box.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QScrollBar>
#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace {

// The width that the box gives a name.
int NameWidth(const QComboBox& box)
{
    box.ensurePolished();
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = false;
    return box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box).width() -
           2;
}

bool Fits(const QComboBox& box, const QString& name)
{
    return box.fontMetrics().horizontalAdvance(name) <= NameWidth(box);
}

int SharedStart(const QString& a, const QString& b)
{
    const int length = static_cast<int>(std::min(a.size(), b.size()));
    int shared = 0;
    while (shared < length && a[shared] == b[shared])
        ++shared;
    return shared;
}

// The middle cut, unless a neighbour's middle cut looks the same.
bool MiddleCutIsApart(const QString& shown, const QStringList& neighbours, const QFontMetrics& metrics, int width)
{
    return std::none_of(neighbours.begin(), neighbours.end(), [&](const QString& other) {
        return metrics.elidedText(other, Qt::ElideMiddle, width) == shown;
    });
}

}  // namespace

QString CutApart(const QString& name, const QStringList& neighbours, const QFontMetrics& metrics, int width)
{
    const QString middle = metrics.elidedText(name, Qt::ElideMiddle, width);
    QStringList others = neighbours;
    others.removeAll(name);
    if (middle == name || MiddleCutIsApart(middle, others, metrics, width))
        return middle;
    int shared = 0;
    for (const QString& other : others)
        shared = std::max(shared, SharedStart(name, other));
    const QString dots(QChar(0x2026));
    // As much as fits of what comes before the difference, then the rest cut in its middle.
    int from = shared;
    while (from > 0 && metrics.horizontalAdvance(dots + name.mid(from - 1)) <= width)
        --from;
    const QString rest = name.mid(from);
    if (metrics.horizontalAdvance(dots + rest) <= width)
        return dots + rest;
    return dots + metrics.elidedText(rest, Qt::ElideMiddle, width - metrics.horizontalAdvance(dots));
}

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent)
{
    // The dropped-down list elides the same way where it is no wider than the box.
    view()->setTextElideMode(Qt::ElideMiddle);
}

QStringList PortComboBox::Names() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i)
        names << itemText(i);
    return names;
}

void PortComboBox::showPopup()
{
    int widest = 0;
    for (const QString& name : Names())
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(name));
    // The entry's own margins and a scroll bar beside it.
    const int margins = 2 * (view()->frameWidth() + style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4) +
                        view()->verticalScrollBar()->sizeHint().width();
    view()->setMinimumWidth(std::min(widest + margins, screen()->availableGeometry().width()));
    QComboBox::showPopup();
}

QString PortComboBox::ShownName(int width) const
{
    return CutApart(currentText(), Names(), fontMetrics(), width);
}

int PortComboBox::TextWidth() const { return NameWidth(*this); }

bool PortComboBox::NameElided() const { return ShownName(TextWidth()) != currentText(); }

void PortComboBox::paintEvent(QPaintEvent* /*event*/)
{
    // As QComboBox paints itself, with the name elided.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = ShownName(TextWidth());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool PortComboBox::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip || !NameElided())
        return QComboBox::event(event);
    const QString own = toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       currentText() + (own.isEmpty() ? QString() : QStringLiteral("\n") + own), this);
    return true;
}

void AddPortEntry(QComboBox& list, const QString& name, const QString& description)
{
    list.addItem(name);
    QStringList tip;
    if (!Fits(list, name))
        tip << name;
    if (!description.isEmpty())
        tip << description;
    if (!tip.isEmpty())
        list.setItemData(list.count() - 1, tip.join(QLatin1Char('\n')), Qt::ToolTipRole);
}
