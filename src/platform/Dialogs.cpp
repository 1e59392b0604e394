#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

// Per process: the seams through which tests answer message boxes and file dialogs.
MessageBoxHandler& boxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

SaveFileHandler& fileHandler()
{
    static SaveFileHandler handler;
    return handler;
}

OpenFileHandler& openHandler()
{
    static OpenFileHandler handler;
    return handler;
}

QString documentsFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        documents = QDir::homePath();
    return documents;
}

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Drops key presses meant for the box or any of its buttons that the user cannot have
// aimed at it: auto-repeated ones (the key that placed an order, still held down) and any
// that arrive within kTypeAheadMs of the box appearing (typed ahead during a freeze, a
// double press, a repeat resent by a remote desktop). A deliberate press after that answers.
class TypedAheadKeyFilter final : public QObject
{
public:
    explicit TypedAheadKeyFilter(QWidget* box)
        : m_box(box)
    {
        m_shown.start();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::Shortcut && type != QEvent::ShortcutOverride)
            return false;
        if (!watched->isWidgetType())
            return false;
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget != m_box && !m_box->isAncestorOf(widget))
            return false;
        const bool held = type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->isAutoRepeat();
        return held || m_shown.elapsed() < kTypeAheadMs;
    }

private:
    QWidget* m_box;
    QElapsedTimer m_shown;
};

} // namespace

MsgResult messageBox(QWidget* parent, const QString& text, MsgButtons buttons, MsgIcon icon, const QString& caption)
{
    MessageBoxCall call;
    call.text = text;
    call.caption = caption;
    call.buttons = buttons;
    call.icon = icon;
    return messageBox(parent, call);
}

MsgResult messageBox(QWidget* parent, const MessageBoxCall& call)
{
    const bool ok = call.buttons == MsgButtons::Ok;
    if (boxHandler()) {
        const MsgResult answer = boxHandler()(call);
        if (ok)
            return MsgResult::Ok;
        return answer == MsgResult::Yes ? MsgResult::Yes : MsgResult::No;
    }
    QMessageBox box(toQt(call.icon), call.caption, call.text, ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No,
                    parent);
    // Texts come from the service as well (`msg`, the update manifest): shown as they stand,
    // never as markup with links to open.
    box.setTextFormat(Qt::PlainText);
    if (!call.detail.isEmpty()) {
        box.setInformativeText(call.detail);
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    TypedAheadKeyFilter typedAhead(&box);
    qApp->installEventFilter(&typedAhead);
    const int pressed = box.exec();
    qApp->removeEventFilter(&typedAhead);
    if (ok)
        return MsgResult::Ok;
    return pressed == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

QString saveFileName(QWidget* parent, const QString& defaultName, const QString& filter)
{
    if (fileHandler())
        return fileHandler()(SaveFileCall{defaultName, filter});
    // The working folder is the settings folder: a bare file name starts in the user's
    // documents instead, where exports are looked for.
    QString start = defaultName;
    if (QFileInfo(defaultName).isRelative()) {
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (documents.isEmpty() || !QFileInfo(documents).isDir())
            documents = QDir::homePath();
        start = QDir(documents).filePath(defaultName);
    }
    return QFileDialog::getSaveFileName(parent, QString(), start, qtFileFilter(filter));
}

QString openFileName(QWidget* parent, const QString& filter)
{
    if (openHandler())
        return openHandler()(OpenFileCall{filter});
    return QFileDialog::getOpenFileName(parent, QString(), documentsFolder(), qtFileFilter(filter));
}

QString qtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    // Pairs of description and pattern, up to the empty entry that ends the list.
    for (qsizetype i = 0; i < parts.size() && !parts[i].isEmpty(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = i + 1 < parts.size() && !parts[i + 1].isEmpty() ? parts[i + 1] : description;
        const QString entry = description == pattern ? QStringLiteral("%1 (%1)").arg(pattern)
                                                     : QStringLiteral("%1 (%2)").arg(description, pattern);
        if (!entries.contains(entry))
            entries << entry;
    }
    return entries.join(QStringLiteral(";;"));
}

void setMessageBoxHandler(MessageBoxHandler handler) { boxHandler() = std::move(handler); }
void setSaveFileHandler(SaveFileHandler handler) { fileHandler() = std::move(handler); }
void setOpenFileHandler(OpenFileHandler handler) { openHandler() = std::move(handler); }

MessageBoxRecorder::MessageBoxRecorder(MsgResult answer)
    : m_answer(answer)
{
    setMessageBoxHandler([this](const MessageBoxCall& call) {
        m_calls.push_back(call);
        return m_answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { setMessageBoxHandler(nullptr); }

QStringList MessageBoxRecorder::texts() const
{
    QStringList out;
    for (const MessageBoxCall& c : m_calls)
        out << c.text;
    return out;
}

} // namespace platform
