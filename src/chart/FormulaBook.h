#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

#include "chart/formula/Definition.h"

namespace chart {

// The trader's own formulas: read once from the "formulas" file of the settings folder and
// written whole whenever one is saved or deleted. A file that cannot be read is named once
// (load's text) and left as it is until a formula is saved, which replaces it.
class FormulaBook final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormulaBook)

public:
    explicit FormulaBook(std::filesystem::path dir, QObject* parent = nullptr);

    // Reads the file. The message naming it when it exists but cannot be read, else empty.
    std::string load();

    const std::vector<formula::Definition>& formulas() const { return m_formulas; }
    // The trader's formula of that name (any case), nullptr for none.
    const formula::Definition* find(std::string_view name) const;
    // The names a formula called `name` may not take: every other formula's.
    std::vector<std::string> namesOtherThan(std::string_view name) const;
    // A name no formula and no built-in has: `base`, else base2, base3, ... (MACD2 goes on
    // to MACD3).
    std::string freeName(std::string_view base) const;

    // Puts `d` in place of the formula named `oldName` (empty: adds it) and writes the file.
    // False when the file could not be written; the formulas are then as they were.
    bool store(const std::string& oldName, const formula::Definition& d);
    bool remove(const std::string& name);

    std::filesystem::path file() const;

signals:
    // A formula was added (oldName empty), changed or renamed, or removed (newName empty).
    void changed(const QString& oldName, const QString& newName);

private:
    bool write(const std::vector<formula::Definition>& formulas);

    std::filesystem::path m_dir;
    std::vector<formula::Definition> m_formulas;
};

} // namespace chart
