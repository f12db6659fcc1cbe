#include "textgridmodel.h"

#include <QFont>

TextGridModel::TextGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::FontRole && index.row() == 0)
        return m_headingFont;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return text(index.row(), index.column());
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || m_rows.isEmpty())
        return {};
    return text(0, section);
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TextGridModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_fixedRows = 0;
    endResetModel();
}

void TextGridModel::setCols(int cols)
{
    cols = qMax(0, cols);
    if (cols == m_cols)
        return;
    beginResetModel();
    m_cols = cols;
    for (QStringList &row : m_rows)
        row = fitted(std::move(row));
    endResetModel();
}

QStringList TextGridModel::fitted(QStringList cells) const
{
    if (cells.size() > m_cols)
        cells.resize(m_cols);
    while (cells.size() < m_cols)
        cells.append(QString());
    return cells;
}

void TextGridModel::addRow(QStringList cells)
{
    const int row = rows();
    beginInsertRows({}, row, row);
    m_rows.append(fitted(std::move(cells)));
    endInsertRows();
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, 0, qMax(0, m_cols - 1));
}

void TextGridModel::addRows(QList<QStringList> rows)
{
    if (rows.isEmpty())
        return;
    const int first = this->rows();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (QStringList &cells : rows)
        m_rows.append(fitted(std::move(cells)));
    endInsertRows();
    if (first == 0)
        emit headerDataChanged(Qt::Horizontal, 0, qMax(0, m_cols - 1));
}

void TextGridModel::removeGridRow(int row)
{
    if (row < 0 || row >= rows())
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, 0, qMax(0, m_cols - 1));
}

QString TextGridModel::text(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return {};
    return m_rows.at(row).at(col);
}

void TextGridModel::setText(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return;
    m_rows[row][col] = text;
    emit dataChanged(index(row, col), index(row, col));
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
}

const QStringList &TextGridModel::rowCells(int row) const
{
    static const QStringList none;
    return row >= 0 && row < rows() ? m_rows.at(row) : none;
}

void TextGridModel::setFixedRows(int fixedRows)
{
    m_fixedRows = qBound(0, fixedRows, 1);
}

void TextGridModel::setHeadingFont(const QFont &font)
{
    m_headingFont = QVariant::fromValue(font);
}
