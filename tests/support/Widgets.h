#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QString>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

#include "platform/Dialogs.h"

// Finding and driving the windows' controls in the GUI and end-to-end tests.
namespace testsupport {

// The control a window made with this id (its objectName).
template <class T>
T* child(QWidget* window, int id)
{
    return window->findChild<T*>(QString::number(id));
}

// Saves the window as "<name>.png" in the folder VELMORA_RENDER_DIR names, if any: a look at
// what the user sees, with the test's data.
inline void renderIfAsked(QWidget& window, const char* name)
{
    const QString dir = qEnvironmentVariable("VELMORA_RENDER_DIR");
    if (!dir.isEmpty())
        window.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

// A click on a tree entry where the user sees it (its group opened first).
inline void clickTreeItem(QTreeWidget* tree, QTreeWidgetItem* item)
{
    if (item->parent())
        item->parent()->setExpanded(true);
    tree->doItemsLayout();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// Clicks an export button, cancels the save dialog, and returns the file name it offered.
inline QString offeredFileName(QAbstractButton* exportButton)
{
    QString offered;
    platform::setSaveFileHandler([&](const platform::SaveFileCall& call) {
        offered = call.defaultName;
        return QString();
    });
    QTest::mouseClick(exportButton, Qt::LeftButton);
    platform::setSaveFileHandler(nullptr);
    return offered;
}

// Opens a field's menu as a user does from the keyboard (Alt+↓) and picks the entry labelled
// `label`; false when the menu did not open or that entry was disabled.
inline bool pickFromFieldMenu(QLineEdit* field, QMenu* menu, const char* label)
{
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000))
        return false;
    bool picked = false;
    for (QAction* action : menu->actions()) {
        if (action->text() == QString::fromUtf8(label) && action->isEnabled()) {
            action->trigger();
            picked = true;
        }
    }
    menu->close();
    return picked;
}

} // namespace testsupport
