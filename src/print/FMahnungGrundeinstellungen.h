#pragma once
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class TPrintDevice;
class TUpDown;

// The print-position dialog: the user shifts the print in half-millimetre steps after laying a
// test print behind the paper form. Positions are stored only by OK or by a test print.
class TMahnungGrundeinstellungen : public QDialog {
  Q_OBJECT
 public:
  // `device` is the printer of the test print (not owned); null: PrintDevice().
  explicit TMahnungGrundeinstellungen(QWidget* parent = nullptr, TPrintDevice* device = nullptr);

  // Without Cancel the dialog is left through OK: the Cancel button, the close box and Escape
  // are gone.
  void SetCancelAllowed(bool allowed);
  bool CancelAllowed() const { return cancelAllowed_; }

  QPushButton* btnOk;
  QPushButton* btnCancel;
  QGroupBox* GroupBox1;
  QLabel* laInfo;
  QLabel* Label1;
  QGroupBox* GroupBox2;
  QLabel* lblWaagrecht;
  TUpDown* udWaagrecht;
  QLabel* lblSenkrecht;
  TUpDown* udSenkrecht;
  QPushButton* btnTestPrint;

  void LoadPositions();
  void StorePositions();
  void UpdateLabels();

 public Q_SLOTS:
  void udClick();
  void btnOkClick();
  void btnCancelClick();
  void btnTestPrintClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormCreate();
  TPrintDevice* device_;
  bool cancelAllowed_ = true;
};

// Creates the dialog (Cancel only when `withCancel`), runs it modally through Dialogs() and
// releases it.
void ShowPrintPositionDialog(bool withCancel);

// The label texts for an up-down position p (half millimetres).
QString HorizontalShiftText(int p);
QString VerticalShiftText(int p);

// The test print on `device` with the offset (mm) added to the cross; the explanation stays put.
// False when the device could not start or finish the job.
bool PrintTestPage(TPrintDevice& device, double offX, double offY);
// The explanation printed beside the cross.
QString TestPrintExplanation();
