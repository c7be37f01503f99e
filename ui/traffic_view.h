// The "Tráfego" window (F2, context menu): every message exchanged with the printer, decoded, one
// row each, live while commands run; "Copiar", "Salvar..." and "Limpar".
#pragma once

#include "link/traffic_decoder.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class PrinterSession;
class QAction;
class QLabel;
class QTableView;

// The last messages, decoded as the runs arrive; the rows show long data folded.
class TrafficModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kTime, kDirection, kMeaning, kHex, kColumns };
    static constexpr size_t kMaxMessages = 10000;

    explicit TrafficModel(QObject* parent = nullptr);

    void Add(const TrafficRun& run);
    // Messages decoded elsewhere (a watched conversation), appended as they are.
    void Append(std::vector<TrafficMessage> decoded);
    void Clear();
    // In place of every message: those of a report opened, as if they had happened here.
    void Load(std::vector<TrafficMessage> loaded);
    const std::deque<TrafficMessage>& Messages() const { return messages; }
    // The row as kestro-cli's trace writes it, unfolded.
    std::string Line(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    TrafficDecoder decoder;
    std::deque<TrafficMessage> messages;
};

class TrafficView : public QWidget {
    Q_OBJECT

public:
    // portName tells, at each save, the port that the header names.
    TrafficView(TrafficModel& model, std::function<std::string()> portName, QWidget* parent);

    // "Salvar...": the trace header, then every row, one line each, UTF-8; false, with the
    // reason shown, on failure.
    bool SaveTo(const QString& path);

protected:
    // Opens at the newest message, unless the user had scrolled away from it.
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // "Copiar", Ctrl+C: the selected rows, or all when none is selected.
    void Copy();
    // "Salvar...", Ctrl+S: the file dialog, a name with the port and the clock time suggested.
    void AskWhereToSave();
    // "Limpar": asks first, naming how many messages go.
    void AskToClear();
    // Escape, Ctrl+C and Ctrl+S; F2 is the window's action.
    void AddKeys();
    QString Lines(const QList<int>& rows) const;
    // The width of count characters in the table's font.
    int Chars(int count) const;
    // Sized for a frame's meaning and a block header's hex, but never beyond the screen's free
    // area: the meaning's column narrows first; placed over the window, wholly on the screen.
    void FitToScreen();

    TrafficModel& model;
    const std::function<std::string()> portName;
    QTableView* table;
    QLabel* status;
    bool following = true;  // the last row was in sight before rows came in
};

// Records the traffic of a window's session from its start and gives the window its "Tráfego"
// action (F2), which the window's context menu lists; the view itself is built the first time it
// is asked for.
class TrafficWatch : public QObject {
    Q_OBJECT

public:
    TrafficWatch(QWidget& window, PrinterSession& session);
    ~TrafficWatch() override;

    // Shows the view, raised, and returns it.
    TrafficView* Show();
    // "Tráfego", F2: shows the view; from the view itself, closes it.
    QAction* Action() const { return action; }
    TrafficModel& Model() { return model; }

private:
    QWidget& window;
    PrinterSession& session;
    QAction* action;  // a child of the window
    TrafficModel model;
    TrafficView* view = nullptr;  // a child of the window
};
