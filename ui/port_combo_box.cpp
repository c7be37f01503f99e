// The port list that elides long names in the middle.
#include "ui/port_combo_box.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

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

}  // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent)
{
    // The dropped-down list elides the same way where it is no wider than the box.
    view()->setTextElideMode(Qt::ElideMiddle);
}

QString PortComboBox::ShownName(int width) const
{
    return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, width);
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
