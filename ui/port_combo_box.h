// The port list "cbPorta": a port's name wider than the box (/dev/serial/by-id/…) is shown cut where
// the cut keeps what tells it from the other ports, and whole in a tooltip; the dropped list is as wide
// as its longest name.
#pragma once

#include <QComboBox>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PortComboBox(QWidget* parent = nullptr);
    // Widened to the longest name, up to the screen, so that no entry is cut.
    void showPopup() override;
    // Every entry's name.
    QStringList Names() const;

protected:
    // The chosen name, elided to the box.
    void paintEvent(QPaintEvent* event) override;
    // Over the box, the chosen name whole first when it is elided, then the box's own tooltip.
    bool event(QEvent* event) override;

private:
    QString ShownName(int width) const;
    bool NameElided() const;
    int TextWidth() const;
};

// Adds a port to the list: its name, and a tooltip with the name whole when the box would elide it,
// then the adapter's description, when the system gives one.
// The name cut to the width: in the middle, unless that leaves it the same as a neighbour's cut; then
// from just before the first character where it differs from its neighbours.
QString CutApart(const QString& name, const QStringList& neighbours, const QFontMetrics& metrics, int width);

void AddPortEntry(QComboBox& list, const QString& name, const QString& description);
