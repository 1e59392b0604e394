#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "controls/CellColourTable.h"
#include "controls/ColouredList.h"
#include "controls/ColumnWidths.h"

class JHeaderCtrl;
class QAction;
class QMenu;

// The report list of the market and trading windows: per-cell text colours for the first
// 200 rows and 40 columns, a flat header that cannot be clicked, and columns the user sizes
// where the owner allows it. A row index keeps its colours across row deletions and
// insertions until the owner rewrites it.
class JListCtrl final : public controls::ColouredList
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JListCtrl)

public:
    using ColourTable = controls::CellColourTable<200, 40>;
    static constexpr const char* kRestoreWidthsText = "恢复默认列宽";

    explicit JListCtrl(QWidget* parent = nullptr);

    JHeaderCtrl* header() const { return m_header; }

    // Safe from any thread: the table is atomic per cell and the paint picks it up.
    bool setCellColour(int row, int column, QColor colour) override;
    QColor cellColour(int row, int column) const override;
    ColourTable& colourTable() { return m_colours; }

    // Lets the user size the columns: drag a divider, double click it to fit the column to
    // its widest cell, "恢复默认列宽" in the header's menu to go back to the made widths.
    // The widths chosen are kept in the widths file of `dir` (the settings folder when empty)
    // under the list's name and used
    // whenever its columns are made. The name is `name`, or when empty, at the first show,
    // the nearest named window around the list and the list's own object name.
    void keepUserWidths(const std::filesystem::path& dir = {}, const std::string& name = {});
    const std::string& widthsName() const { return m_widthsName; }
    // The width that shows the column's every cell and its caption whole.
    int fittingWidth(int column) const;
    void fitColumn(int column);
    void restoreDefaultWidths();
    QMenu* headerMenu() const { return m_headerMenu; }

    // Lets the user sort by a column (after keepUserWidths): a click on its caption sorts
    // descending, a second ascending, a third goes back to the owner's order. The choice is
    // kept by caption with the widths and marked in the header; the owner orders the rows
    // on sortChanged.
    void keepUserSort();
    const std::optional<controls::ColumnSort>& userSort() const { return m_sort; }
    void setUserSort(const std::optional<controls::ColumnSort>& sort);
    // The column the rows are sorted by; -1 for none (or none shown).
    int sortColumn() const;

signals:
    void sortChanged();

protected:
    void columnInserted(int column) override;
    void showEvent(QShowEvent* event) override;

private:
    // Reads the chosen widths once the list's name is known, and applies them.
    void loadUserWidths();
    void saveUserWidths();
    void stepSort(int column);
    void markSort();

    JHeaderCtrl* m_header;
    ColourTable m_colours;
    QMenu* m_headerMenu = nullptr;
    std::filesystem::path m_widthsDir;
    std::string m_widthsName;
    bool m_widthsLoaded = false;
    controls::ListWidths m_userWidths;
    bool m_sortable = false;
    std::optional<controls::ColumnSort> m_sort;
};
