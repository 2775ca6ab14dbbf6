// The Qt desktop services the programs use: Qt's own texts in the edition's language, file
// filters, the save dialog's overwrite question, and windows that appear while a modal window
// runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>
#include <QTreeView>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/Erreur.h"
#include "app/QtUiServices.h"
#include "support/AppFixture.h"

namespace fs = std::filesystem;

namespace {

// Runs fn once the event loop of the next modal window is running.
void WhenModal(std::function<void()> fn) { QTimer::singleShot(0, qApp, std::move(fn)); }

// Runs fn against the next modal window of type T, looked for every 10 ms. After 30 s it
// gives up and closes whatever modal window runs, so that a failing test ends.
template <class T>
void OnModal(std::function<void(T*)> fn, int tries = 3000) {
  QTimer::singleShot(10, qApp, [fn = std::move(fn), tries] {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
      fn(w);
    } else if (tries > 0) {
      OnModal<T>(fn, tries - 1);
    } else {
      ADD_FAILURE() << "no modal " << T::staticMetaObject.className();
      while (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }
  });
}

}  // namespace

TEST(QtFileFilterTest, TextsThatNameTheirPatternKeepTheirText) {
  struct Case {
    const char* filter;
    QString qt;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"Transmitter file (*.XMT)|*.XMT|All files (*.*)|*.*", "Transmitter file (*.XMT);;All files (*.*)"},
           {"Linearization file (*.LIN)|*.LIN|All files (*.*)|*.*", "Linearization file (*.LIN);;All files (*.*)"},
           {"Curves|*.LIN", "Curves (*.LIN)"},
           {"Files (*.XMT)|*.LIN", "Files (*.XMT) (*.LIN)"},  // a text naming another pattern
           {"", ""}}) {
    EXPECT_EQ(QtFileFilter(c.filter), c.qt) << c.filter;
  }
}

// The standard dialogs speak the edition's language: the save dialog's buttons, labels and
// columns, a message box's buttons and a line edit's context menu. The English edition stays
// English even where French was the default before.
TEST(QtUiServicesTest, QtsOwnTextsFollowTheEdition) {
  struct Case {
    TLangue Langue;
    QString Save, Cancel, FileName, Name, Yes, No, Undo;
  };
  const Case cases[] = {
      {TLangue::Francais, "&Enregistrer", "Annuler", "&Nom de fichier :", "Nom", "&Oui", "&Non", "&Annuler"},
      {TLangue::Anglais, "&Save", "Cancel", "File &name:", "Name", "&Yes", "&No", "&Undo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Langue == TLangue::Francais ? "French edition" : "English edition");
    QLocale::setDefault(QLocale(c.Langue == TLangue::Francais ? QLocale::English : QLocale::French));
    QTranslator translator;
    ASSERT_TRUE(InstallQtTexts(c.Langue, translator));
    EXPECT_EQ(QLocale().language(), c.Langue == TLangue::Francais ? QLocale::French : QLocale::English);

    QtUiServices ui;
    TFileDialogOptions options;
    options.Filter = "Linearization file (*.LIN)|*.LIN";
    options.InitialDir = fs::temp_directory_path().string();
    QStringList buttons, labels, columns;
    OnModal<QFileDialog>([&](QFileDialog* dialog) {
      for (const QPushButton* b : dialog->findChildren<QPushButton*>()) buttons << b->text();
      if (const auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))) labels << label->text();
      if (const auto* list = dialog->findChild<QTreeView*>(QStringLiteral("treeView")))
        columns << list->model()->headerData(0, Qt::Horizontal).toString();
      dialog->reject();
    });
    std::string path;
    EXPECT_FALSE(ui.AskSavePath(options, path));
    EXPECT_TRUE(buttons.contains(c.Save)) << buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(buttons.contains(c.Cancel)) << buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(labels, QStringList{c.FileName});
    EXPECT_EQ(columns, QStringList{c.Name});

    QStringList answers;
    OnModal<QMessageBox>([&](QMessageBox* box) {
      for (const QAbstractButton* b : box->buttons()) answers << b->text();
      box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ui.MessageBox("?", "", TMsgKind::Confirmation, TMsgButtons::YesNo), TMsgResult::No);
    EXPECT_TRUE(answers.contains(c.Yes) && answers.contains(c.No)) << answers.join(QLatin1Char(',')).toStdString();

    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions().first()->text().startsWith(c.Undo)) << menu->actions().first()->text().toStdString();

    QCoreApplication::removeTranslator(&translator);
    QLocale::setDefault(QLocale::system());
  }
}

// "CURVE" typed while CURVE.Lin exists: the dialog asks about CURVE.Lin before anything is
// replaced, and "No" leaves the file chosen nowhere.
TEST(QtUiServicesTest, TheSaveDialogAsksBeforeReplacingTheFileWithItsDefaultExtension) {
  const fs::path dir = fs::temp_directory_path() / ("corvin-save-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "CURVE.Lin") << "old";

  QtUiServices ui;
  TFileDialogOptions options;
  options.Title = "Save file";
  options.Filter = "Linearization file (*.LIN)|*.LIN|All files (*.*)|*.*";
  options.DefaultExt = "Lin";
  options.InitialDir = dir.string();
  options.OverwritePrompt = true;

  for (const bool replace : {false, true}) {
    bool asked = false;
    QString question;
    OnModal<QFileDialog>([&](QFileDialog* dialog) {
      OnModal<QMessageBox>([&](QMessageBox* box) {
        asked = true;
        question = box->text();
        box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        // Refused, the dialog stays open: leave it.
        if (!replace) OnModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
      });
      // The name typed in the dialog's own name field, then its Save button.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(QStringLiteral("CURVE"));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    std::string path;
    const bool chosen = ui.AskSavePath(options, path);
    EXPECT_TRUE(asked) << replace;
    EXPECT_TRUE(question.contains(QStringLiteral("CURVE.Lin"))) << question.toStdString();
    EXPECT_EQ(chosen, replace);
    if (replace) {
      EXPECT_EQ(fs::path(path), dir / "CURVE.Lin");
    }
  }
  fs::remove_all(dir);
}

// A report raised while a modal window runs can be acknowledged: it is the window that takes
// the input, not one the modal window blocks.
TEST(QtUiServicesTest, AReportDuringAModalWindowTakesTheInput) {
  QtUiServices ui;
  QDialog modal;
  QWidget* active = nullptr;
  WhenModal([&] {
    ui.ReportError("'x' is not a valid floating point value");
    active = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(active)) box->close();
    modal.reject();
  });
  modal.exec();
  ASSERT_NE(active, nullptr);
  EXPECT_NE(active, &modal);
  EXPECT_TRUE(qobject_cast<QMessageBox*>(active));
}

// The same for the program's own windows shown meanwhile (the error window over a trim), and
// a window shown when nothing modal runs stays an ordinary one.
TEST(QtUiServicesTest, AWindowShownDuringAModalWindowTakesTheInput) {
  AppWorld world;
  TErreurForm& error = *world.Program->Forms.ErreurForm;
  QDialog modal;
  QWidget* active = nullptr;
  WhenModal([&] {
    error.ShowError("Device busy");
    active = QApplication::activeModalWidget();
    error.Close();
    modal.reject();
  });
  modal.exec();
  EXPECT_EQ(active, &error);

  error.ShowError("Device busy");
  EXPECT_EQ(error.windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  error.Close();
}
