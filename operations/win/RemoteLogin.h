#pragma once
// Choosing the computer whose services are shown, and logging on to it.
#include "operations/win/CommandHost.h"
#include "operations/win/ModalDialog.h"

#include <optional>
#include <string>

namespace kelvane {

// The "Connect as" dialog (template 103) on a working copy of the
// configuration: host, user name and password.
class ConnectAsDialog : public ModalDialog {
public:
    explicit ConnectAsDialog(const AppConfig& config);
    // What OK left; unchanged after Cancel.
    const AppConfig& config() const { return config_; }

protected:
    void prepare() override;
    bool onOk() override;
    void onControl(int id, int notification) override;

private:
    AppConfig config_;
};

// The platform's network browser, owned by owner: the computer picked, or
// nothing.
std::optional<std::string> browseForComputer(HWND owner);

// The "..." button beside the host field: browse, then show the computer
// picked.
void browseForHost(CommandHost& host);

// Makes name the host the list shows, remembers it in the host field's list
// and refreshes.
void selectHost(CommandHost& host, const std::string& name);

// Puts name at the top of the host field's list unless an entry there
// equals it (ignoring case). Nothing for an empty name.
void rememberHost(HWND hostField, const std::string& name);

// The "login as ..." button: asks for host, user and password and connects
// to the computer's IPC$ share, then shows its services. A failed connection
// is reported and changes nothing but the user name and password, which stay
// for the next try.
void loginAs(CommandHost& host);

} // namespace kelvane
