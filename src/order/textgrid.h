#pragma once

#include "textgridmodel.h"

#include <QTableView>

// A grid of text cells: row 0 holds the headings and, once made fixed, shows as a header
// that does not scroll; the data rows follow from 1. Widths are given in twips. The grid
// has one current cell, and can show part of the current row selected.
class TextGrid : public QTableView
{
    Q_OBJECT

public:
    explicit TextGrid(QWidget *parent = nullptr);

    TextGridModel *gridModel() const { return m_model; }
    // The headings' type, in the header and in row 0 while it is an ordinary row.
    void setHeadingFont(const QFont &font);

    // Empties the grid down to one ordinary headings row with the given column widths.
    void reset(const QStringList &headings, const QList<int> &widthsTwips);

    int rows() const { return m_model->rows(); }
    int cols() const { return m_model->cols(); }
    void setColWidthTwips(int col, int twips);
    void addRow(const QStringList &cells);
    void addRows(QList<QStringList> rows);
    // Removes a row; the current cell stays on the same row number where it can.
    void removeGridRow(int row);
    QString text(int row, int col) const { return m_model->text(row, col); }

    // Row 0 as the fixed headings row (1) or as an ordinary row (0).
    void setFixedRows(int fixedRows);
    int fixedRows() const { return m_model->fixedRows(); }

    int row() const;
    int col() const;
    void setRow(int row);
    void setCol(int col);
    QString currentText() const { return text(row(), col()); }
    // Selects the current row from the current column to the given one.
    void setColSel(int col);

signals:
    // A double click on a cell (or Space on the current cell); the row is then the current row.
    void rowDoubleClicked(int row);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyFixedRows();
    void moveCurrent(int row, int col);

    TextGridModel *m_model;
    QList<int> m_widthsTwips;
};
