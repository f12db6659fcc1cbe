#pragma once

#include "report/reportdocument.h"

#include <functional>

class QWidget;

// The report's preview window.
class ReportPreview
{
public:
    // Modal print-preview window titled "Preview" that offers printing (QPrintPreviewDialog).
    static void show(const ReportDocument &document, QWidget *parent);
    // Tests replace the modal window with a presenter that records the document.
    static void setPresenter(std::function<void(const ReportDocument &)> presenter);
};
