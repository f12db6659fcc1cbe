#include "textgrid.h"

#include "twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TextGrid::TextGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new TextGridModel(this))
{
    setModel(m_model);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // Cells clip their text as a grid of text cells does, so narrow columns keep their first letters.
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->hide();
    // Narrow columns such as "Can" keep their headings readable.
    horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { padding: 0px 2px; }"));
    horizontalHeader()->setTextElideMode(Qt::ElideNone);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TextGrid::applyFixedRows);
}

void TextGrid::setHeadingFont(const QFont &font)
{
    horizontalHeader()->setFont(font);
    m_model->setHeadingFont(font);
}

void TextGrid::reset(const QStringList &headings, const QList<int> &widthsTwips)
{
    m_model->clear();
    m_model->setCols(int(headings.size()));
    for (int col = 0; col < widthsTwips.size(); ++col)
        setColWidthTwips(col, widthsTwips.at(col));
    m_model->addRow(headings);
    setFixedRows(0);
    moveCurrent(0, 0);
    // The headings row is current but not shown selected, as no cell was chosen yet.
    clearSelection();
}

void TextGrid::setColWidthTwips(int col, int twips)
{
    if (col < 0)
        return;
    if (m_widthsTwips.size() <= col)
        m_widthsTwips.resize(col + 1);
    m_widthsTwips[col] = twips;
    setColumnWidth(col, Twips::toPixels(twips, logicalDpiX()));
}

void TextGrid::addRow(const QStringList &cells)
{
    m_model->addRow(cells);
}

void TextGrid::addRows(QList<QStringList> rows)
{
    m_model->addRows(std::move(rows));
}

void TextGrid::removeGridRow(int row)
{
    const int current = this->row();
    const int column = col();
    m_model->removeGridRow(row);
    applyFixedRows();
    moveCurrent(qMin(current, rows() - 1), column);
}

void TextGrid::setFixedRows(int fixedRows)
{
    m_model->setFixedRows(fixedRows);
    applyFixedRows();
    if (row() < this->fixedRows() && rows() > this->fixedRows())
        moveCurrent(this->fixedRows(), col());
}

void TextGrid::applyFixedRows()
{
    // Reapplying the widths keeps them through a model reset, which forgets sections.
    for (int col = 0; col < m_widthsTwips.size() && col < cols(); ++col)
        setColumnWidth(col, Twips::toPixels(m_widthsTwips.at(col), logicalDpiX()));
    const bool fixed = fixedRows() > 0 && rows() > 0;
    horizontalHeader()->setVisible(fixed);
    if (rows() > 0)
        setRowHidden(0, fixed);
}

int TextGrid::row() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid())
        return current.row();
    return rows() > fixedRows() ? fixedRows() : 0;
}

int TextGrid::col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : 0;
}

void TextGrid::setRow(int row)
{
    moveCurrent(row, col());
}

void TextGrid::setCol(int col)
{
    moveCurrent(row(), col);
}

void TextGrid::moveCurrent(int row, int col)
{
    const QModelIndex index = m_model->index(row, col);
    if (!index.isValid())
        return;
    // Moving the current cell by program keeps the columns in view where they were, so the
    // descriptions stay visible while the totals walk column 3.
    const int leftColumn = qMax(0, columnAt(0));
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    setAutoScroll(true);
    scrollTo(m_model->index(row, leftColumn));
}

void TextGrid::setColSel(int col)
{
    const QModelIndex from = m_model->index(row(), this->col());
    const QModelIndex to = m_model->index(row(), col);
    if (!from.isValid() || !to.isValid())
        return;
    selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
}

void TextGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    if (currentIndex() != index)
        moveCurrent(index.row(), index.column());
    emit rowDoubleClicked(index.row());
}

void TextGrid::keyPressEvent(QKeyEvent *event)
{
    // Space takes the current row as a double click does, so the keyboard alone can pick it.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        emit rowDoubleClicked(currentIndex().row());
        return;
    }
    QTableView::keyPressEvent(event);
}
