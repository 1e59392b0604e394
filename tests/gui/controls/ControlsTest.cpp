#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "client/WholeFile.h"
#include "controls/CButtonBMP.h"
#include "controls/CMyEdit.h"
#include "controls/CSkinEdit.h"
#include "controls/ColumnWidths.h"
#include "controls/Cnoheaderlistctl.h"
#include "controls/GetEditInput.h"
#include "controls/JHeaderCtrl.h"
#include "controls/JListCtrl.h"
#include "controls/TitleBar.h"
#include "controls/cMyTreeCtrl.h"
#include "platform/Bitmaps.h"

namespace {

const QColor kRed(233, 39, 76);
const QColor kDefault(16, 16, 16);
const QColor kBackground(240, 240, 240);

bool hasPixel(const QImage& image, const QRect& area, const QColor& colour)
{
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) == colour.rgb())
                return true;
    return false;
}

QRgb at(const QImage& image, int x, int y)
{
    return image.pixel(x, y);
}

// The offscreen pointer may rest over a new window; tests set hover themselves.
void sendLeave(QWidget* w)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
}

QImage solid(QColor c)
{
    QImage i(10, 10, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

class ParentRecorder final : public QWidget
{
public:
    QList<QPair<int, bool>> notes;

protected:
    void customEvent(QEvent* e) override
    {
        if (e->type() == CButtonBMPNotifyEvent::eventType()) {
            auto* n = static_cast<CButtonBMPNotifyEvent*>(e);
            notes.append({n->controlId(), n->down()});
        }
    }
};

// A named window holding a list of two columns, 60 and 80 wide, whose widths the user sizes.
struct SizedList
{
    QWidget window;
    JListCtrl* list = new JListCtrl(&window);

    explicit SizedList(const QString& dir)
    {
        window.setObjectName(QStringLiteral("Orders"));
        list->setObjectName(QStringLiteral("242"));
        list->keepUserWidths(dir.toStdString());
        list->addColumn(QStringLiteral("代码"), 60);
        list->addColumn(QStringLiteral("名称"), 80);
        list->appendRow({QStringLiteral("9160001"), QStringLiteral("Tolmere小酒窖 珍藏")});
        list->resize(400, 200);
        window.resize(400, 200);
        window.show();
    }
    void drag(int column, int by)
    {
        QWidget* v = list->header()->viewport();
        const QPoint divider(list->header()->sectionViewportPosition(column) + list->columnWidth(column) - 1, 10);
        QTest::mousePress(v, Qt::LeftButton, {}, divider);
        QTest::mouseMove(v, divider + QPoint(by, 0));
        QTest::mouseRelease(v, Qt::LeftButton, {}, divider + QPoint(by, 0));
    }
};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ControlsTest final : public QObject
{
    Q_OBJECT

private slots:
    void listColoursStopAtTheTableEdge();
    void listColoursStayWithTheRowIndex();
    void longCellTextKeepsItsStart();
    void headerIgnoresClicksAndDrags();
    void userWidthsSurviveARestartAndGoBack();
    void unreadableWidthsFileReadsAsDefaultsAndStays();
    void captionClicksSortAndTheChoiceStaysWithTheWidths();
    void noHeaderListHasItsOwnLargerTable();
    void numericEditFilter_data();
    void numericEditFilter();
    void numericEditEnterKeepsTheTypedText();
    void treeNotifiesEvenForTheSelectedItem();
    void buttonDrawsNothingWithoutAllImages();
    void buttonChoosesImageByHoverPressAndShownImage();
    void buttonNotifiesParentOnPressAndRelease();
    void skinEditFramesByState();
    void editInputAsksTheOwnerAndHidesOnlyWhenTaken();
    void titleBarSpansTheWindowWithItsCloseButtonAtTheRight();
    void factoryButtonNeverTakesEnterFromTheDialog();
};

void ControlsTest::listColoursStopAtTheTableEdge()
{
    JListCtrl list;
    list.setBackgroundColour(kBackground);
    list.setDefaultTextColour(kDefault);
    list.addColumn(QStringLiteral("序"), 80);
    list.resize(200, 18 * 8 + 30);
    for (int r = 0; r < 205; ++r) {
        list.appendRow({QStringLiteral("8888")});
        list.setCellColour(r, 0, kRed);
    }
    QVERIFY(list.colourTable().isSet(199, 0));
    QVERIFY(!list.colourTable().isSet(200, 0));
    QCOMPARE(list.cellColour(199, 0), kRed);
    QCOMPARE(list.cellColour(200, 0), kDefault);
    QCOMPARE(list.cellColour(3, 40), kDefault);

    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.scrollToItem(list.item(204, 0), QAbstractItemView::PositionAtBottom);
    const QImage shot = list.viewport()->grab().toImage();
    const QRect row199 = list.visualRect(list.model()->index(199, 0));
    const QRect row200 = list.visualRect(list.model()->index(200, 0));
    QVERIFY(row199.isValid() && row200.isValid());
    QCOMPARE(row200.height(), JListCtrl::kRowHeight);
    QVERIFY(hasPixel(shot, row199, kRed));
    QVERIFY(!hasPixel(shot, row200, kRed));
    QVERIFY(hasPixel(shot, row200, kDefault));
}

void ControlsTest::listColoursStayWithTheRowIndex()
{
    JListCtrl list;
    list.addColumn(QStringLiteral("a"), 50);
    list.addColumn(QStringLiteral("b"), 50);
    list.appendRow({QStringLiteral("1"), QStringLiteral("x")});
    list.appendRow({QStringLiteral("2"), QStringLiteral("y")});
    list.setRowColour(0, kRed);
    list.removeRow(0);
    QCOMPARE(list.cellText(0, 0), QStringLiteral("2"));
    QCOMPARE(list.cellColour(0, 1), kRed);
    list.clearRows();
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(list.insertRowAt(7, {QStringLiteral("z")}), 0);
    QCOMPARE(list.cellColour(0, 0), kRed);
    list.setCellText(5, 0, QStringLiteral("out of range is ignored"));
    QCOMPARE(list.rowCount(), 1);
}

void ControlsTest::longCellTextKeepsItsStart()
{
    // An item name wider than its centred column: its start stays readable, the end gives way.
    JListCtrl list;
    list.setBackgroundColour(kBackground);
    list.setDefaultTextColour(kDefault);
    list.addColumn(QStringLiteral("名称"), 100);
    const QString name = QStringLiteral("Tolmere小酒窖珍藏干红");
    const int box = list.columnWidth(0) - 3;
    const QString elided = QFontMetrics(list.font()).elidedText(name, Qt::ElideRight, box);
    QVERIFY(elided.startsWith(QStringLiteral("Tol")) && elided != name);
    list.appendRow({name});
    list.appendRow({elided});
    list.resize(200, 100);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QImage shot = list.viewport()->grab().toImage();
    const QRect first = list.visualRect(list.model()->index(0, 0));
    const QRect second = list.visualRect(list.model()->index(1, 0));
    QVERIFY(hasPixel(shot, first, kDefault));
    QCOMPARE(shot.copy(first), shot.copy(second)); // drawn as its start and an ellipsis
}

void ControlsTest::headerIgnoresClicksAndDrags()
{
    JListCtrl list;
    list.addColumn(QStringLiteral("代码"), 80);
    list.addColumn(QStringLiteral("名称"), 100);
    for (const char* code : {"3", "1", "2"})
        list.appendRow({QString::fromLatin1(code), QStringLiteral("n")});
    list.resize(300, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    JHeaderCtrl* header = list.header();
    QCOMPARE(list.horizontalHeader(), header);

    const int firstCentre = header->sectionViewportPosition(0) + 40;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(firstCentre, header->height() / 2));
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(firstCentre, header->height() / 2));
    QCOMPARE(list.cellText(0, 0), QStringLiteral("3"));
    QCOMPARE(list.cellText(1, 0), QStringLiteral("1"));

    const QPoint border(header->sectionViewportPosition(1) - 1, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(header->viewport(), border + QPoint(60, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, border + QPoint(60, 0));
    QCOMPARE(header->sectionSize(0), 80);
    QCOMPARE(header->sectionSize(1), 100);

    header->setBackgroundColour(QColor(224, 224, 224));
    const QImage shot = header->viewport()->grab().toImage();
    QCOMPARE(at(shot, shot.width() - 2, 1), QColor(224, 224, 224).rgb());
}

void ControlsTest::userWidthsSurviveARestartAndGoBack()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QString::fromLatin1(controls::kColumnWidthsFile));
    {
        SizedList sized(dir.path());
        QVERIFY(QTest::qWaitForWindowExposed(&sized.window));
        QCOMPARE(sized.list->widthsName(), std::string("Orders/242"));
        sized.drag(0, 40);
        QCOMPARE(sized.list->columnWidth(0), 100);
        // A double click on the divider fits the column to its widest cell, whole.
        QTest::mouseDClick(sized.list->header()->viewport(), Qt::LeftButton, {},
                           QPoint(sized.list->header()->sectionViewportPosition(1) + 80 - 1, 10));
        const int fitted = sized.list->columnWidth(1);
        QVERIFY(fitted > QFontMetrics(sized.list->font()).horizontalAdvance(QStringLiteral("Tolmere小酒窖 珍藏")));
        QCOMPARE(fitted, sized.list->fittingWidth(1));
    }
    const controls::ColumnWidthFile stored = controls::readColumnWidths(dir.path().toStdString());
    QVERIFY(stored.failed.empty());
    QCOMPARE(stored.choices.at("Orders/242").at("代码"), 100);

    SizedList again(dir.path());
    QVERIFY(QTest::qWaitForWindowExposed(&again.window));
    QCOMPARE(again.list->columnWidth(0), 100);
    QVERIFY(again.list->columnWidth(1) > 80);
    again.list->headerMenu()->actions().at(0)->trigger();
    QCOMPARE(again.list->headerMenu()->actions().at(0)->text(), QStringLiteral("恢复默认列宽"));
    QCOMPARE(again.list->columnWidth(0), 60);
    QCOMPARE(again.list->columnWidth(1), 80);
    QVERIFY(controls::readColumnWidths(dir.path().toStdString()).choices.empty());
    QVERIFY(QFile::exists(file));
}

void ControlsTest::unreadableWidthsFileReadsAsDefaultsAndStays()
{
    for (const QByteArray& bytes : {QByteArray("{\"Orders/242\": {\"代码\": 10"), QByteArray("[1, 2]")}) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QString::fromLatin1(controls::kColumnWidthsFile));
        QVERIFY(client::writeWholeFile(file.toStdString(), bytes.toStdString()));
        SizedList sized(dir.path());
        QVERIFY(QTest::qWaitForWindowExposed(&sized.window));
        QCOMPARE(sized.list->columnWidth(0), 60);
        QVERIFY(!controls::readColumnWidths(dir.path().toStdString()).failed.empty());
        sized.list->restoreDefaultWidths(); // nothing to drop: the file is the user's to mend
        QCOMPARE(fileBytes(file), bytes);
        sized.drag(0, 30); // a width chosen now replaces it
        QCOMPARE(controls::readColumnWidths(dir.path().toStdString()).choices.at("Orders/242").at("代码"), 90);
    }
    // Widths out of bounds or not numbers are left out.
    const auto parsed = controls::parseColumnWidths(R"({"a": {"x": 5, "y": "90", "z": 90, "w": 1e9}, "b": 3})");
    QVERIFY(parsed);
    QCOMPARE(parsed->size(), std::size_t(1));
    QCOMPARE(parsed->at("a"), (controls::ListWidths{{"z", 90}}));
}

void ControlsTest::captionClicksSortAndTheChoiceStaysWithTheWidths()
{
    using Sort = std::optional<controls::ColumnSort>;
    QTemporaryDir dir;
    SizedList sized(dir.path());
    QVERIFY(QTest::qWaitForWindowExposed(&sized.window));
    sized.list->keepUserSort();
    JHeaderCtrl* header = sized.list->header();
    QSignalSpy changed(sized.list, &JListCtrl::sortChanged);
    auto clickCaption = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 10));
    };
    clickCaption(1);
    QCOMPARE(sized.list->userSort(), Sort({"名称", true}));
    QCOMPARE(header->sortMarkSection(), 1);
    clickCaption(1);
    QCOMPARE(sized.list->userSort(), Sort({"名称", false}));
    clickCaption(1); // back to the owner's order
    QCOMPARE(sized.list->userSort(), Sort());
    QCOMPARE(header->sortMarkSection(), -1);
    QCOMPARE(changed.count(), 3);
    clickCaption(1);
    clickCaption(0); // another column starts descending
    QCOMPARE(sized.list->userSort(), Sort({"代码", true}));
    sized.drag(0, 40); // a drag on a divider is no click
    QCOMPARE(sized.list->userSort(), Sort({"代码", true}));
    QCOMPARE(changed.count(), 5);

    // Kept with the widths, each keeping the other.
    const controls::ColumnWidthFile stored = controls::readColumnWidths(dir.path().toStdString());
    QCOMPARE(stored.choices.at("Orders/242").at("代码"), 100);
    QCOMPARE(stored.sorts.at("Orders/242"), controls::ColumnSort({"代码", true}));
    SizedList again(dir.path());
    again.list->keepUserSort();
    QCOMPARE(again.list->userSort(), Sort({"代码", true}));
    QCOMPARE(again.list->sortColumn(), 0);
    QCOMPARE(again.list->columnWidth(0), 100);

    const controls::SortChoices parsed = controls::parseListSorts(
        R"({"sort": {"a": {"column": "x", "order": "up"}, "b": {"column": "y", "order": "ascending"}, "c": 3}})");
    QCOMPARE(parsed.size(), std::size_t(1));
    QCOMPARE(parsed.at("b"), controls::ColumnSort({"y", false}));
}

void ControlsTest::noHeaderListHasItsOwnLargerTable()
{
    Cnoheaderlistctl list;
    list.setDefaultTextColour(kDefault);
    QVERIFY(list.setCellColour(99, 99, kRed));
    QVERIFY(!list.setCellColour(100, 0, kRed));
    QCOMPARE(list.cellColour(99, 99), kRed);
    QCOMPARE(list.cellColour(100, 0), kDefault);
    QVERIFY(qobject_cast<JHeaderCtrl*>(list.horizontalHeader()) == nullptr);
}

void ControlsTest::numericEditFilter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("third decimal refused") << "" << "1.234" << "1.23";
    QTest::newRow("minus into empty field") << "" << "-5" << "-5";
    QTest::newRow("minus into non-empty field") << "12" << "-" << "12";
    QTest::newRow("letters change nothing") << "7" << "ab x" << "7";
    QTest::newRow("second dot counts as a decimal") << "" << "1.2.3" << "1.2.";
    QTest::newRow("digits and one dot") << "" << "105.5" << "105.5";
}

void ControlsTest::numericEditFilter()
{
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    CMyEdit edit;
    edit.setText(start);
    edit.setCursorPosition(int(start.size()));
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.text(), expected);
}

void ControlsTest::numericEditEnterKeepsTheTypedText()
{
    CMyEdit edit;
    QSignalSpy returns(&edit, &QLineEdit::returnPressed);
    edit.setText(QStringLiteral("7"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.text(), QStringLiteral("7"));
    QCOMPARE(returns.count(), 1);

    edit.setText(QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_Enter);
    QCOMPARE(edit.text(), QStringLiteral("12"));

    // A refused character keeps the caret and selection where they were.
    edit.setText(QStringLiteral("1.23"));
    edit.setSelection(0, 1);
    QTest::keyClick(&edit, Qt::Key_4);
    QCOMPARE(edit.text(), QStringLiteral("4.23"));
    edit.setCursorPosition(4);
    QTest::keyClick(&edit, Qt::Key_9);
    QCOMPARE(edit.text(), QStringLiteral("4.23"));
    QCOMPARE(edit.cursorPosition(), 4);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("4.2"));

    // Delete deletes, though X11 and Wayland send it with the text "\x7f", a control character.
    edit.setCursorPosition(0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QApplication::sendEvent(&edit, &press);
    QCOMPARE(edit.text(), QStringLiteral(".2"));
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), QStringLiteral("2"));
    edit.setText(QStringLiteral("4.2"));

    // The clipboard cannot smuggle letters in by keyboard.
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QLineEdit plain;
    QTest::keySequence(&plain, QKeySequence::Paste);
    QCOMPARE(plain.text(), QStringLiteral("abc"));
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("4.2"));
}

void ControlsTest::treeNotifiesEvenForTheSelectedItem()
{
    cMyTreeCtrl tree;
    auto* first = new QTreeWidgetItem(&tree, {QStringLiteral("买入")});
    new QTreeWidgetItem(&tree, {QStringLiteral("卖出")});
    tree.resize(200, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy spy(&tree, &cMyTreeCtrl::selectionNotified);
    const QPoint at = tree.visualItemRect(first).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(tree.currentItem(), first);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).value<QTreeWidgetItem*>(), first);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, at);
    QCOMPARE(spy.count(), 2);
}

void ControlsTest::buttonDrawsNothingWithoutAllImages()
{
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette p;
    p.setColor(QPalette::Window, Qt::blue);
    parent.setPalette(p);
    parent.resize(100, 60);
    CButtonBMP button(221, QStringLiteral("确定"), &parent);
    button.setGeometry(0, 0, 60, 30);
    button.setImages(solid(Qt::green), QImage(), solid(Qt::red));
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    sendLeave(&button);
    QCOMPARE(at(parent.grab().toImage(), 30, 15), QColor(Qt::blue).rgb());
    button.setImages(solid(Qt::green), solid(Qt::yellow), solid(Qt::red));
    QCOMPARE(at(parent.grab().toImage(), 2, 2), QColor(Qt::green).rgb());
}

void ControlsTest::buttonChoosesImageByHoverPressAndShownImage()
{
    CButtonBMP button;
    button.setImages(solid(Qt::green), solid(Qt::yellow), solid(Qt::red));
    button.resize(60, 30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    sendLeave(&button);
    QCOMPARE(button.currentImage(), CButtonBMP::Image::Normal);
    button.setShownImage(CButtonBMP::Image::Pressed);
    QCOMPARE(at(button.grab().toImage(), 1, 1), QColor(Qt::red).rgb());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    QVERIFY(button.isHovering());
    QCOMPARE(button.currentImage(), CButtonBMP::Image::Hover);
    QCOMPARE(at(button.grab().toImage(), 1, 1), QColor(Qt::yellow).rgb());
    button.setDown(true);
    QCOMPARE(button.currentImage(), CButtonBMP::Image::Pressed);
    button.setDown(false);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QVERIFY(!button.isHovering());
    QCOMPARE(button.currentImage(), CButtonBMP::Image::Pressed);

    button.setEnabled(false);
    QVERIFY(!button.lastEnableState());
    button.setEnabled(true);
    QVERIFY(button.lastEnableState());
}

void ControlsTest::buttonNotifiesParentOnPressAndRelease()
{
    ParentRecorder parent;
    CButtonBMP button(20108, QStringLiteral("买入"), &parent);
    button.setGeometry(0, 0, 60, 30);
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QSignalSpy notified(&button, &CButtonBMP::pressNotified);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    QTest::mouseClick(&button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(&parent);
    QVERIFY(parent.notes.isEmpty());
    QCOMPARE(clicked.count(), 1);

    button.setNotifyParent(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTRY_COMPARE(parent.notes.size(), 2);
    QCOMPARE(parent.notes[0], qMakePair(20108, true));
    QCOMPARE(parent.notes[1], qMakePair(20108, false));
    QCOMPARE(notified.count(), 2);
    QCOMPARE(clicked.count(), 2);
}

void ControlsTest::skinEditFramesByState()
{
    QWidget window;
    window.resize(200, 80);
    CSkinEdit edit(&window);
    edit.setGeometry(10, 10, 120, 24);
    QLineEdit other(&window);
    other.setGeometry(10, 40, 120, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    sendLeave(&edit);
    other.setFocus();
    QTRY_VERIFY(!edit.isFocused());
    QImage shot = edit.grab().toImage();
    QCOMPARE(at(shot, 0, 0), QColor(edit.palette().color(QPalette::Button)).rgb());
    QCOMPARE(at(shot, 1, 1), QColor(edit.palette().color(QPalette::Shadow)).rgb());

    edit.setFocus();
    QTRY_VERIFY(edit.isFocused());
    shot = edit.grab().toImage();
    QCOMPARE(at(shot, 0, 0), QColor(edit.palette().color(QPalette::Button)).rgb());
    QCOMPARE(at(shot, 1, 1), QColor(CSkinEdit::kActiveInner).rgb());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&edit, &enter);
    shot = edit.grab().toImage();
    QCOMPARE(at(shot, 0, 0), QColor(CSkinEdit::kHoverOuter).rgb());
    QCOMPARE(at(shot, edit.width() - 2, edit.height() - 2), QColor(CSkinEdit::kActiveInner).rgb());
}

void ControlsTest::editInputAsksTheOwnerAndHidesOnlyWhenTaken()
{
    GetEditInput dialog;
    QStringList asked;
    bool take = false;
    dialog.setAcceptHandler([&](const QString& name) {
        asked << name;
        return take;
    });
    QSignalSpy cancelled(&dialog, &GetEditInput::cancelled);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.edit()->setText(QStringLiteral("自选"));
    auto* ok = dialog.findChild<QPushButton*>(QString::number(GetEditInput::kOkId));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    take = true;
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(asked, QStringList({QStringLiteral("自选"), QStringLiteral("自选")}));

    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(cancelled.count(), 1);
    const QImage shot = dialog.grab().toImage();
    QCOMPARE(at(shot, 150, 5), QColor(32, 32, 32).rgb());
    QCOMPARE(at(shot, 5, 100), QColor(240, 240, 240).rgb());
}

void ControlsTest::titleBarSpansTheWindowWithItsCloseButtonAtTheRight()
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(300, 200);
    controls::TitleBar::Style style;
    style.ground = QColor(80, 80, 80);
    auto* bar = new controls::TitleBar(QStringLiteral("公告显示"), style, &window);
    CButtonBMP* close = bar->addCloseButton(1092);
    QCOMPARE(bar->addCloseButton(1092), close);
    QSignalSpy closes(bar, &controls::TitleBar::closeClicked);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("1092")), close);
    QCOMPARE(close->mapTo(&window, QPoint(0, 0)), QPoint(266, 0));
    QCOMPARE(close->size(), QSize(34, 28));

    window.resize(500, 200);
    QTRY_COMPARE(bar->width(), 500);
    QCOMPARE(close->mapTo(&window, QPoint(0, 0)), QPoint(466, 0));
    const QImage shot = window.grab().toImage();
    QCOMPARE(at(shot, 400, 27), QColor(80, 80, 80).rgb());
    QVERIFY(at(shot, 400, 28) != QColor(80, 80, 80).rgb());
    QVERIFY(hasPixel(shot, QRect(6, 5, 80, 18), Qt::white)); // the title

    bar->setTitle(QStringLiteral("系统状态"));
    QCOMPARE(bar->title(), QStringLiteral("系统状态"));
    QTest::mouseClick(close, Qt::LeftButton);
    QCOMPARE(closes.count(), 1);
}

void ControlsTest::factoryButtonNeverTakesEnterFromTheDialog()
{
    QDialog dialog;
    dialog.resize(200, 100);
    CButtonBMP* buy = CButtonBMP::Create(
        &dialog, 240, QStringLiteral("买入"),
        {platform::bmp::CloseButton, platform::bmp::CloseButtonHover, platform::bmp::CloseButtonPressed},
        QRect(QPoint(135, 50), QPoint(194, 73)));
    auto* edit = new QLineEdit(&dialog);
    edit->setGeometry(10, 10, 100, 20);
    QCOMPARE(buy->objectName(), QStringLiteral("240"));
    QCOMPARE(buy->controlId(), 240);
    QCOMPARE(buy->geometry(), QRect(135, 50, 60, 24));
    QVERIFY(buy->hasImages());
    QVERIFY(!buy->autoDefault());
    QVERIFY(!buy->isDefault());
    QSignalSpy clicks(buy, &QAbstractButton::clicked);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::mouseClick(buy, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1); // the click, not the Enter
    QCOMPARE(buy->focusPolicy(), Qt::NoFocus);
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
