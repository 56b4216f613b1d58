#pragma once

class QLabel;
class SelectionGrid;

// Pieces the company and product table panels share.
namespace TablePanelParts {

// Makes row `row` of the grid's lazy list current, fetching up to it.
void showRow(SelectionGrid *grid, int row);
// A label drawn maroon while its field is locked because certificates use the row.
void markLocked(QLabel *label, bool locked);

}
