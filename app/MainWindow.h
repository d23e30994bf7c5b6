#pragma once

#include <QMainWindow>

/// The program's one window in GUI mode. Placeholder until the form lands: an empty window.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
};
