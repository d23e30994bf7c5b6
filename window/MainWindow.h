#pragma once

#include "conformance/Tests.h"

#include <QMainWindow>

#include <memory>

class ResultsDialog;
class RunProgressDialog;
class Ui_MainWindow;
class Worker;

/// The GUI mode's one window: the user picks a segment, types the classpaths and the TSS gold
/// file and presses "Run Test"; the matching segment test runs on its worker thread behind a
/// window-modal busy dialog that follows its progress, and its results are shown in a dialog of
/// their own when it is over.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    /// A worker still held is deleted, which waits for its job to finish.
    ~MainWindow() override;

signals:
    void runTest();

public slots:
    void beginTest();
    void endTest();

    /// What the running test found; shown once the test is over.
    void takeOutcome(std::shared_ptr<const Tests::Outcome> outcome);

protected:
    /// The worker of the checked segment, or null when no segment is checked. Virtual so that
    /// tests can run a job of their own through the window.
    virtual std::unique_ptr<Worker> createSegmentWorker() const;

private:
    void writeProfile() const;
    void showResults();

    std::unique_ptr<Ui_MainWindow> ui;
    RunProgressDialog *progress; // owned by the window as its child
    std::unique_ptr<Worker> worker; // null while no test runs
    std::shared_ptr<const Tests::Outcome> outcome; // of the running test, once it has one
    ResultsDialog *results = nullptr; // the last run's; owned by the window as its child
};
