#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The cells of a grid of texts. Row 0 is the headings row like any other row; when it is
// made fixed it is also offered as the horizontal header, so that it stays in view.
class TextGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    // Removes every row.
    void clear();
    void setCols(int cols);
    // Cells beyond the column count are dropped; missing ones are empty.
    void addRow(QStringList cells);
    // Many rows in one insertion, so that tens of thousands of rows list at once.
    void addRows(QList<QStringList> rows);
    void removeGridRow(int row);
    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    const QStringList &rowCells(int row) const;

    // The type of the headings row while it is an ordinary row, to match the header's.
    void setHeadingFont(const QFont &font);

    void setFixedRows(int fixedRows);
    int fixedRows() const { return m_fixedRows; }

private:
    QStringList fitted(QStringList cells) const;

    QList<QStringList> m_rows;
    int m_cols = 0;
    int m_fixedRows = 0;
    QVariant m_headingFont;
};
