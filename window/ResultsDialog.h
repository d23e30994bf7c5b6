#pragma once

#include "conformance/Tests.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

/// What a run found, shown in the window when the run is over: the verdict, the counts, the
/// inputs that were not read, and the findings as a tree (failures first, then what needs
/// inspection; under each the cause and the classes it affects, under each class the methods and
/// source lines that make it) with a filter; buttons open the run's files with the desktop's
/// handler. The main form stays as it is.
class ResultsDialog : public QDialog
{
    Q_OBJECT
public:
    /// Inputs not read listed at most; the rest are counted.
    static constexpr int maxInputs = 10;

    ResultsDialog(const Tests::Outcome &outcome, QWidget *parent);

    /// Shows only the findings, causes, classes and places that contain text (case-insensitive),
    /// with the findings and classes that hold them; an empty text shows everything.
    void applyFilter(const QString &text);

private:
    QLabel *addLabel(const QString &objectName, const QString &text);
    void addHeader(const Tests::Outcome &outcome);
    void addNotRead(const Findings &findings);
    void addTree(const Findings &findings);
    void addButtons(const QList<RunOutputs::File> &files);
    QPushButton *
    addOpenButton(const QString &objectName, const QString &text, const RunOutputs::File &file);

    QTreeWidget *tree; // child of the dialog
    QLineEdit *filter; // child of the dialog
};
