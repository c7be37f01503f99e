// The traffic window, its model and the action that opens it.
#include "ui/traffic_view.h"

#include "base/local_time.h"
#include "base/version.h"
#include "link/traffic_format.h"
#include "session/printer_session.h"
#include "trace/trace_line.h"
#include "ui/shown_text.h"
#include "vocab/window_texts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>
#include <iterator>

namespace {

// What a row shows of a long message; the whole of it goes to "Copiar" and "Salvar...".
constexpr size_t kShownTextBytes = 160;
constexpr size_t kShownHexBytes = 48;

// The columns' widths in characters: the time, the arrow, a frame's meaning and the hex of a block
// header; and the narrowest a meaning gets on a small screen.
constexpr int kTimeChars = 11;
constexpr int kArrowChars = 2;
constexpr int kMeaningChars = 84;
constexpr int kHexChars = 50;
constexpr int kLeastMeaningChars = 30;
constexpr int kWantedHeight = 520;

// The frame that the system draws around a window (borders and caption) before the window shows,
// when nothing tells it yet: room is kept for it on the screen.
constexpr QMargins kLikelyFrame(8, 32, 8, 8);

// A fixed-pitch font on every system, in the window's size: the families of Windows 7 and later
// first (Windows has no "monospace" and would draw a serif), then Linux's, then the system's own.
QFont FixedPitchFont(const QFont& base)
{
    QFont fixed = base;
    fixed.setFamilies({QStringLiteral("Consolas"), QStringLiteral("Courier New"),
                       QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                       QStringLiteral("monospace"), QFontDatabase::systemFont(QFontDatabase::FixedFont).family(),
                       QStringLiteral("Courier")});
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    return fixed;
}

// The traffic's lines are UTF-8 already, as a trace's are.
QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// Why a file could not be written, in Portuguese: the system's own reason comes in its language.
SaveFailure WhySaveFailed(const QFile& file)
{
    const QFileInfo target(file.fileName());
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return SaveFailure::kNoFolder;
    if (target.isDir())
        return SaveFailure::kIsFolder;
    if (target.exists() && !target.isWritable())
        return SaveFailure::kFileReadOnly;
    if (!target.exists() && !folder.isWritable())
        return SaveFailure::kFolderReadOnly;
    return file.isOpen() ? SaveFailure::kWriteFailed : SaveFailure::kNotOpened;
}

}  // namespace

TrafficModel::TrafficModel(QObject* parent) : QAbstractTableModel(parent) {}

void TrafficModel::Add(const TrafficRun& run)
{
    std::vector<TrafficMessage> decoded;
    decoder.Feed(run, decoded);
    Append(std::move(decoded));
}

void TrafficModel::Append(std::vector<TrafficMessage> decoded)
{
    if (decoded.empty())
        return;
    const int first = static_cast<int>(messages.size());
    beginInsertRows({}, first, first + static_cast<int>(decoded.size()) - 1);
    std::move(decoded.begin(), decoded.end(), std::back_inserter(messages));
    endInsertRows();
    if (messages.size() > kMaxMessages) {
        const int excess = static_cast<int>(messages.size() - kMaxMessages);
        beginRemoveRows({}, 0, excess - 1);
        messages.erase(messages.begin(), messages.begin() + excess);
        endRemoveRows();
    }
}

void TrafficModel::Clear()
{
    beginResetModel();
    messages.clear();
    endResetModel();
}

void TrafficModel::Load(std::vector<TrafficMessage> loaded)
{
    beginResetModel();
    // The newest, as many as the view keeps.
    const size_t skipped = loaded.size() > kMaxMessages ? loaded.size() - kMaxMessages : 0;
    messages.assign(std::make_move_iterator(loaded.begin() + static_cast<std::ptrdiff_t>(skipped)),
                    std::make_move_iterator(loaded.end()));
    decoder = TrafficDecoder();
    endResetModel();
}

std::string TrafficModel::Line(int row) const { return TrafficLine(messages[static_cast<size_t>(row)]); }

int TrafficModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(messages.size());
}

int TrafficModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant TrafficModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const TrafficMessage& message = messages[static_cast<size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == kTime)
        return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);  // an int, as Qt 5 reads it too
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kTime:
        return QString::number(message.ms) + QStringLiteral(" ms");
    case kDirection:
        return Utf8(TrafficArrow(message.direction));
    case kMeaning:
        return Utf8(TrafficMeaning(message, kShownTextBytes));
    default:
        return Utf8(TrafficHex(message, kShownHexBytes));
    }
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return Shown(kTrafficColumns[section]);
}

TrafficView::TrafficView(TrafficModel& model, std::function<std::string()> portName, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model(model),
      portName(std::move(portName)),
      table(new QTableView(this)),
      status(new QLabel(this))
{
    setObjectName(QStringLiteral("fmTrafego"));
    setWindowTitle(Shown(kTrafficTitle));

    table->setObjectName(QStringLiteral("tvTrafego"));
    table->setModel(&model);
    // Hex lines up in a fixed-pitch font.
    table->setFont(FixedPitchFont(table->font()));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the table for the buttons, as in any dialog; the arrows move within it.
    table->setTabKeyNavigation(false);
    table->installEventFilter(this);
    table->setWordWrap(false);
    table->setAlternatingRowColors(true);
    // Fixed row heights and column widths: nothing is measured across rows as they come in.
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(TrafficModel::kTime, Chars(kTimeChars));
    table->setColumnWidth(TrafficModel::kDirection, Chars(kArrowChars));
    // New rows keep the view at the end, unless the user has scrolled away from it.
    connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = table->verticalScrollBar();
        following = bar->value() == bar->maximum();
    });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (following)
            table->scrollToBottom();
    });

    auto* copy = new QPushButton(Shown(kCopyButton), this);
    auto* save = new QPushButton(Shown(kSaveButton), this);
    auto* clear = new QPushButton(Shown(kClearButton), this);
    copy->setObjectName(QStringLiteral("btCopiar"));
    save->setObjectName(QStringLiteral("btSalvar"));
    clear->setObjectName(QStringLiteral("btLimpar"));
    status->setObjectName(QStringLiteral("lbTrafegoSt"));
    connect(copy, &QPushButton::clicked, this, &TrafficView::Copy);
    connect(save, &QPushButton::clicked, this, &TrafficView::AskWhereToSave);
    connect(clear, &QPushButton::clicked, this, &TrafficView::AskToClear);
    AddKeys();

    // The status line wraps, and gives way to the buttons, rather than widen the window beyond a
    // small screen; its tooltip holds a path cut at the edge.
    status->setWordWrap(true);
    status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Nothing to save in an empty view.
    const auto offerSave = [this, save] { save->setEnabled(this->model.rowCount() > 0); };
    connect(&model, &QAbstractItemModel::rowsInserted, save, offerSave);
    connect(&model, &QAbstractItemModel::rowsRemoved, save, offerSave);
    connect(&model, &QAbstractItemModel::modelReset, save, offerSave);
    offerSave();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status, 1);
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addWidget(clear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(buttons);
    table->setFocus();
    FitToScreen();
}

int TrafficView::Chars(int count) const
{
    return table->fontMetrics().horizontalAdvance(QString(count, QLatin1Char('0')));
}

void TrafficView::FitToScreen()
{
    const QWidget* over = parentWidget() != nullptr ? parentWidget() : this;
    const QRect area = over->screen()->availableGeometry();
    // The frame as the system draws it once the window is shown; before, the likely one.
    QMargins frame = kLikelyFrame;
    if (isVisible()) {
        const QRect outer = frameGeometry(), inner = geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    const QSize room = area.size().shrunkBy(frame);
    // Beside the columns: the layout's margins, the table's frame and its scroll bar.
    const QMargins margins = layout()->contentsMargins();
    const int extra = margins.left() + margins.right() + 2 * table->frameWidth() +
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
    const int fixedColumns = Chars(kTimeChars) + Chars(kArrowChars);
    const QSize wanted(extra + fixedColumns + Chars(kMeaningChars) + Chars(kHexChars), kWantedHeight);
    const QSize size = wanted.boundedTo(room).expandedTo(minimumSizeHint());
    resize(size);
    // The meaning and the hex share what the screen leaves, the meaning in its part of the whole.
    const int columns = size.width() - extra - fixedColumns;
    table->setColumnWidth(TrafficModel::kMeaning, std::max(Chars(kLeastMeaningChars),
                                                           columns * kMeaningChars / (kMeaningChars + kHexChars)));
    // Over the window, and wholly on the screen.
    QRect outer(QPoint(), size.grownBy(frame));
    outer.moveCenter(over->frameGeometry().center());
    outer.moveLeft(std::max(area.left(), std::min(outer.left(), area.right() - outer.width() + 1)));
    outer.moveTop(std::max(area.top(), std::min(outer.top(), area.bottom() - outer.height() + 1)));
    move(outer.topLeft());
}

void TrafficView::AddKeys()
{
    const auto key = [this](const QKeySequence& keys, auto handler) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    key(QKeySequence::Copy, &TrafficView::Copy);
    key(QKeySequence::Save, &TrafficView::AskWhereToSave);
    key(QKeySequence(Qt::Key_Escape), &QWidget::close);
}

bool TrafficView::eventFilter(QObject* watched, QEvent* event)
{
    // The focus shows on the current row: without one the table would take the focus unseen.
    if (watched == table && event->type() == QEvent::FocusIn && !table->currentIndex().isValid() &&
        model.rowCount() > 0)
        table->selectionModel()->setCurrentIndex(model.index(model.rowCount() - 1, 0),
                                                 QItemSelectionModel::NoUpdate);
    return QWidget::eventFilter(watched, event);
}

void TrafficView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (following)
        table->scrollToBottom();
}

QString TrafficView::Lines(const QList<int>& rows) const
{
    QString text;
    for (const int row : rows)
        text += Utf8(model.Line(row)) + QLatin1Char('\n');
    return text;
}

void TrafficView::Copy()
{
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty()) {
        for (int row = 0; row < model.rowCount(); ++row)
            rows.append(row);
    }
    QApplication::clipboard()->setText(Lines(rows));
}

void TrafficView::AskWhereToSave()
{
    if (model.rowCount() == 0)
        return;
    // Not a nested event loop: a command may be running on this thread.
    std::tm now {};
    LocalTimeOf(std::time(nullptr), now);
    auto* dialog = new QFileDialog(
        this, Shown(kSaveTitle), QString::fromStdString(TrafficFileName(portName(), now)), Shown(kSaveFileTypes));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // Qt's own dialog, which speaks the built-in Portuguese; Windows' would speak the system's language.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &TrafficView::SaveTo);
    dialog->open();
}

bool TrafficView::SaveTo(const QString& path)
{
    QList<int> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows.append(row);
    QFile file(path);
    const std::string header = TraceHeader("kestro " + ProgramVersionText(), portName(), std::time(nullptr));
    const QByteArray text = (Utf8(header) + QLatin1Char('\n') + Lines(rows)).toUtf8();
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) &&
                       file.write(text) == text.size() && file.flush();
    // As the system writes paths: "C:\\Users\\…" on Windows.
    const std::string where = QDir::toNativeSeparators(path).toStdString();
    status->setText(saved ? Shown(kSavedText, {{"path", where}})
                          : Shown(FillIn(kSaveFailedText, {{"reason", SaveFailureText(WhySaveFailed(file))}}),
                                  {{"path", where}}));
    status->setToolTip(status->text());
    return saved;
}

void TrafficView::AskToClear()
{
    const int count = model.rowCount();
    if (count == 0)
        return;
    // Not a nested event loop: a command may be running on this thread.
    auto* box = new QMessageBox(QMessageBox::Question, Shown(kClearButton),
                                Shown(FillIn(InNumber(static_cast<size_t>(count), kClearQuestionWords),
                                             {{"count", std::to_string(count)}})),
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setObjectName(QStringLiteral("mbLimpar"));
    box->setInformativeText(Shown(kClearAdvice));
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this](int answer) {
        if (answer != QMessageBox::Yes)
            return;
        model.Clear();
        status->clear();
        status->setToolTip({});
    });
    box->open();
}

TrafficWatch::TrafficWatch(QWidget& window, PrinterSession& session)
    : window(window),
      session(session),
      action(new QAction(Shown(kTrafficTitle), &window))
{
    session.SetTrafficObserver([this](const TrafficRun& run) { model.Add(run); });
    action->setObjectName(QStringLiteral("acTrafego"));
    action->setShortcut(Qt::Key_F2);
    // F2 works from the traffic window too, where it closes the view.
    action->setShortcutContext(Qt::ApplicationShortcut);
    connect(action, &QAction::triggered, this, [this] {
        if (view != nullptr && view->isActiveWindow())
            view->close();
        else
            Show();
    });
    // The window's own action, so that F2 reaches it; the window's context menu lists it.
    window.addAction(action);
}

TrafficWatch::~TrafficWatch()
{
    session.SetTrafficObserver({});
    delete view;  // before the model it shows
}

TrafficView* TrafficWatch::Show()
{
    if (view == nullptr)
        view = new TrafficView(
            model, [this] { return session.Port().name; }, &window);
    view->show();
    view->raise();
    view->activateWindow();
    return view;
}
