#pragma once
// The "Service parameters" dialog (template 165): creates a new service or
// driver or edits a listed one, on a working copy of ServiceParameters.
#include "framework/win/ColorButton.h"
#include "operations/ServiceParameters.h"
#include "operations/win/ModalDialog.h"

namespace kelvane {

class ServiceParametersDialog : public ModalDialog {
public:
    explicit ServiceParametersDialog(const ServiceParameters& record);

    // What OK left: validated and completed. Unchanged after Cancel.
    const ServiceParameters& record() const { return record_; }

    // With save false loads the record into the controls; with save true
    // reads, validates and completes them into the record (raising
    // UserException under "Input validation") and shows what was completed.
    void exchange(bool save);

protected:
    void prepare() override;
    bool onOk() override;
    void onControl(int id, int notification) override;

private:
    void fillLists();
    void readLists();
    void updateInteractive();
    void browseForCommand();

    ServiceParameters record_;
    Plinth::ColorButton browseButton_, okButton_, cancelButton_;
};

} // namespace kelvane
