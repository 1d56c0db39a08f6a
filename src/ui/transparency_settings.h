#pragma once

#include "skin/base_form.h"

class QComboBox;
class QLabel;

namespace tw {

class TAppearance;
class TImageButton;
class TImagePanel;
class TOptions;

// Chooses the windows' transparency. Every change previews on this window and is stored at
// once; Cancel stores the value the dialog started with again.
class TfrmTransparencySettings : public TfrmBase {
    Q_OBJECT
  public:
    explicit TfrmTransparencySettings(TWindowKit& kit, QWidget* parent = nullptr);

    // Runs the dialog; true when OK closed it. The administrator's one-time access ends.
    bool Execute(TOptions& options);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void cbxTransparencyChange();

    QLabel* lblAction = nullptr;
    TImagePanel* pnlExpirationCombo = nullptr;
    QComboBox* cbxTransparency = nullptr;
    TImageButton* btnCombo = nullptr;
    TImageButton* btnOk = nullptr;
    TImageButton* btnCancel = nullptr;
    TAppearance* appearance_ = nullptr; // the options' data folder's, while Execute runs
};

// The "Transparency..." menu item's dialog; true when OK closed it.
bool ExecuteTransparencySettings(TOptions& options, QWidget* owner);

} // namespace tw
