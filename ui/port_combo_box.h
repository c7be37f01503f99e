// The port list "cbPorta": a port's name wider than the box (/dev/serial/by-id/…) is shown elided
// in the middle, where such names differ, and whole in a tooltip.
#pragma once

#include <QComboBox>
#include <QString>

class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PortComboBox(QWidget* parent = nullptr);

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
void AddPortEntry(QComboBox& list, const QString& name, const QString& description);
