#pragma once
// The About box: product name, version of the program and release of the database.

#include <QDialog>

class TdtmPresenze;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(TdtmPresenze& dtm, QWidget* parent = nullptr);

    // "major.minor.release.build" of this build.
    static QString VersioneProdotto();
};
