#pragma once

// A file dialog that shows folders bearing a package extension as the documents they are:
// with a document's icon and kind, and chosen whole (never entered) by a double-click, by
// Return, by the accept button or by typing the name. Saving over an existing package asks
// first, as saving over a file does.
//
// A dialog may be confined to one folder and the folders beneath it: browsing out of it
// brings the dialog back, and a choice outside (typed as "../x" or as an absolute path, or
// a link leading out) is refused with a beep and a line saying why.

#include <QFileDialog>

class QLabel;

namespace platform {

class PackageDisplayModel;

class PackageAwareFileDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit PackageAwareFileDialog(QWidget* parent = nullptr);

    // Extensions without dots; their case does not matter.
    QStringList packageExtensions() const;
    void setPackageExtensions(const QStringList& extensions);
    // Whether `path` is a folder with one of those extensions.
    bool isPackage(const QString& path) const;
    bool hasPackageExtension(const QString& name) const;

    // The accept button's title; set it here, as the dialog retitles the button for folders.
    QString acceptLabel() const;
    void setAcceptLabel(const QString& label);

    // The folder choices are confined to, links resolved; empty: anywhere.
    QString confiningFolder() const { return m_confiningFolder; }
    void setConfiningFolder(const QString& folder);
    // Whether `path` is `folder` or lies beneath it, comparing whole components with links
    // resolved; a broken link could lead anywhere, so it is outside.
    static bool isPathInsideFolder(const QString& path, const QString& folder);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the choice holds a package and nothing the dialog would rather enter.
    bool choosesPackages(const QStringList& files) const;
    void confirmReplacing(const QString& path);
    void acceptFiles(const QStringList& files);
    // Qt leaves folders out of the name field and retitles the accept button for them;
    // packages are put back in the field and keep the title.
    void showChosenPackages();
    void relabelAcceptButton();
    // Whether every chosen file is inside the confining folder; beeps and says why if not.
    bool keepsToConfiningFolder(const QStringList& files);

    PackageDisplayModel* m_display; // a child: it goes with the dialog
    QString m_acceptLabel;
    QString m_confiningFolder;
    QLabel* m_confinementRefusal = nullptr;
};

} // namespace platform
