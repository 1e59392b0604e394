#include "chart/FormulaBook.h"

#include <algorithm>

namespace chart {

namespace {

QString qText(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

FormulaBook::FormulaBook(std::filesystem::path dir, QObject* parent)
    : QObject(parent)
    , m_dir(std::move(dir))
{
}

std::string FormulaBook::load()
{
    formula::FormulaFileRead read = formula::readFormulas(m_dir);
    m_formulas = std::move(read.formulas);
    return read.failed.empty() ? std::string() : formula::formulaFileProblemText(read.failed);
}

const formula::Definition* FormulaBook::find(std::string_view name) const
{
    const std::string key = formula::nameKey(name);
    const auto it = std::find_if(m_formulas.begin(), m_formulas.end(),
                                 [&](const formula::Definition& d) { return formula::nameKey(d.name) == key; });
    return it == m_formulas.end() ? nullptr : &*it;
}

std::vector<std::string> FormulaBook::namesOtherThan(std::string_view name) const
{
    const std::string key = formula::nameKey(name);
    std::vector<std::string> names;
    for (const formula::Definition& d : m_formulas)
        if (formula::nameKey(d.name) != key || name.empty())
            names.push_back(d.name);
    return names;
}

std::string FormulaBook::freeName(std::string_view base) const
{
    const auto taken = [&](const std::string& name) { return find(name) || formula::isBuiltinName(name); };
    if (base.empty())
        return freeName("公式");
    if (!taken(std::string(base)))
        return std::string(base);
    // MACD, MACD2, MACD3: a number at the end counts on.
    std::size_t digits = base.size();
    while (digits > 0 && base[digits - 1] >= '0' && base[digits - 1] <= '9' && base.size() - digits < 6)
        --digits;
    const std::string stem(base.substr(0, digits));
    long long n = digits < base.size() ? std::stoll(std::string(base.substr(digits))) : 1;
    std::string name;
    do
        name = stem + std::to_string(++n);
    while (taken(name));
    return name;
}

bool FormulaBook::store(const std::string& oldName, const formula::Definition& d)
{
    std::vector<formula::Definition> next = m_formulas;
    const formula::Definition* old = oldName.empty() ? nullptr : find(oldName);
    if (old)
        next[std::size_t(old - m_formulas.data())] = d;
    else
        next.push_back(d);
    if (!write(next))
        return false;
    const QString before = old ? qText(old->name) : QString();
    m_formulas = std::move(next);
    emit changed(before, qText(d.name));
    return true;
}

bool FormulaBook::remove(const std::string& name)
{
    const formula::Definition* d = find(name);
    if (!d)
        return true;
    std::vector<formula::Definition> next = m_formulas;
    next.erase(next.begin() + (d - m_formulas.data()));
    if (!write(next))
        return false;
    const QString removed = qText(d->name);
    m_formulas = std::move(next);
    emit changed(removed, QString());
    return true;
}

std::filesystem::path FormulaBook::file() const
{
    return m_dir / formula::kFormulaFile;
}

bool FormulaBook::write(const std::vector<formula::Definition>& formulas)
{
    return formula::writeFormulas(m_dir, formulas);
}

} // namespace chart
