#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include <QDialog>

#include "market/ColumnFile.h"

class CButtonBMP;
class GetEditInput;
class QComboBox;
class QListWidget;
class QPushButton;

// The column set-up ("显示列设置"): picks columns from the catalogue into the categories of
// the current column file and saves that file for the next start.
class ShowViewSetDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShowViewSetDlg)

public:
    enum ControlId {
        kCloseId = 221,
        kCatalogueListId = 222,
        kCatalogueBoxId = 224,
        kCurrentBoxId = 225,
        kAddId = 226,
        kAddAllId = 227,
        kDeleteId = 228,
        kDeleteAllId = 229,
        kOkId = 230,
        kCancelId = 231,
        kMoveUpId = 232,
        kMoveDownId = 233,
        kSaveId = 234,
        kDeleteCategoryId = 235,
        kNewCategoryId = 236,
        kFirstCurrentListId = 2001,
    };
    static constexpr int kMaxCurrentCategories = 5;
    static constexpr int kMaxCatalogueCategories = 20;
    static constexpr int kFixedEntries = 3; // "序", "代码", "名称"

    // `dir` holds "listtitle.txt" and receives "currentlisttitle.txt". The current columns
    // come from the process-wide current-column text (the file in `dir` when none is set).
    explicit ShowViewSetDlg(std::filesystem::path dir, QWidget* parent = nullptr);
    ~ShowViewSetDlg() override;

    QComboBox* catalogueBox() const { return m_catalogueBox; }
    QComboBox* currentBox() const { return m_currentBox; }
    QListWidget* shownCatalogueList() const;
    QListWidget* shownCurrentList() const;
    GetEditInput* nameDialog() const { return m_nameDialog; }
    QStringList currentEntries(int category) const;

    // The document a save would write now.
    market::ColumnDocument documentToSave() const;

public slots:
    void onCatalogueCategoryChanged(int index);
    void onCurrentCategoryChanged(int index);
    void onAdd();
    void onAddAll();
    void onDelete();
    void onDeleteAll();
    void onOk();
    void onMoveUp();
    void onMoveDown();
    void onNewCategory();
    void onDeleteCategory();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildCatalogue();
    void buildCurrent();
    void buildButtons();
    QPushButton* makeButton(int id, const QString& caption, const QRect& box);
    bool acceptNewCategory(const QString& name);
    void insertByRule(QListWidget* list, const QString& text, const QString& key);
    void showOnly(std::vector<QListWidget*>& lists, int index);
    QString catalogueKeyOf(const QString& caption) const;

    std::filesystem::path m_dir;
    std::optional<market::ColumnDocument> m_catalogue;
    QComboBox* m_catalogueBox = nullptr;
    std::vector<QListWidget*> m_catalogueLists;
    QComboBox* m_currentBox = nullptr;
    std::vector<QListWidget*> m_currentLists; // by category position; spare lists at the end
    CButtonBMP* m_close = nullptr;
    GetEditInput* m_nameDialog = nullptr;
};
