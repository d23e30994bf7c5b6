#include "window/MainWindow.h"

#include "window/ResultsDialog.h"
#include "window/RunProgressDialog.h"
#include "base/Classpath.h"
#include "base/Options.h"
#include "base/Worker.h"
#include "conformance/Segment.h"
#include "conformance/SegmentTestWorker.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QRadioButton>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui_MainWindow>())
    , progress(new RunProgressDialog(this))
{
    ui->setupUi(this);
    // The log was opened in this directory at start-up and results.txt follows it, so the
    // field can only tell where a run's output goes, not change it.
    ui->logdir->setText(QDir(Options::opts->logDir).absolutePath());

    connect(ui->btn_runtest, &QPushButton::clicked, this, &MainWindow::beginTest);
}

MainWindow::~MainWindow() = default;

void MainWindow::beginTest()
{
    // The busy dialog can be dismissed with Escape; a second run must neither replace a job
    // that is still running nor change the options it reads.
    if (worker)
        return;
    writeProfile();
    worker = createSegmentWorker();
    if (!worker)
        return;
    // The run replaces the files the last results were read from.
    delete results;
    results = nullptr;
    connect(this, &MainWindow::runTest, worker.get(), &Worker::work);
    connect(worker.get(), &Worker::done, this, &MainWindow::endTest);
    // Queued like done(), and emitted before it: the outcome is here when the test is over.
    if (auto *test = qobject_cast<SegmentTestWorker *>(worker.get()))
        connect(test, &SegmentTestWorker::reported, this, &MainWindow::takeOutcome);
    progress->begin();
    emit runTest();
}

void MainWindow::endTest()
{
    progress->end();
    disconnect(this, &MainWindow::runTest, worker.get(), &Worker::work);
    disconnect(worker.get(), &Worker::done, this, &MainWindow::endTest);
    worker.reset();
    showResults();
}

void MainWindow::takeOutcome(std::shared_ptr<const Tests::Outcome> runOutcome)
{
    outcome = std::move(runOutcome);
}

void MainWindow::showResults()
{
    // A job that ended before its report has only its log to show.
    if (!outcome)
        return;
    results = new ResultsDialog(*outcome, this);
    outcome.reset();
    results->show();
}

void MainWindow::writeProfile() const
{
    if (ui->profile_safetyExt->isChecked())
        Options::opts->profile = Options::P_SAFETY_EXT;
    else if (ui->profile_safetyBase->isChecked())
        Options::opts->profile = Options::P_SAFETY_BASE;
    else
        Options::opts->profile = Options::P_GENERAL; // "Security" too: it has no profile of its own
}

std::unique_ptr<Worker> MainWindow::createSegmentWorker() const
{
    // The form has a button for each segment the window offers, named after its row.
    for (const Segment &segment : Segment::all()) {
        const auto *button = findChild<QRadioButton *>(QStringLiteral("segment_") + segment.title);
        if (button && button->isChecked()) {
            return segment.createWorker({ Classpath(ui->classpath->text()),
                                          ui->tssgoldfilename->text(),
                                          Classpath(ui->frameworkclasspath->text()) });
        }
    }
    return nullptr;
}
