#pragma once
// The report boxes for failures nobody caught, and the handling of processor
// faults. Boxes go through showMessageBox; one is on screen at a time and a
// failure reported meanwhile is dropped.
#include "framework/ComError.h"
#include "framework/Exception.h"

#include <windows.h>

#include <exception>

namespace Plinth {

// A null owner means the main window of the calling thread.
void showException(const Exception& exception, HWND owner = nullptr);
void showComError(const ComError& error, HWND owner = nullptr);
void showStdException(const std::exception& error, HWND owner = nullptr);

// The default owner of the calling thread's report boxes.
void setThreadMainWindow(HWND window);
HWND threadMainWindow();

// Installs the fault filter, and with throwOnOutOfMemory makes a failed
// allocation of operator new raise SDKException 14. Once, at start-up.
void installErrorHandlers(bool throwOnOutOfMemory);

// For a structured exception that nothing handled: 0 searches on, 1 runs the
// handler (ends the thread or process), -1 resumes execution.
int reportFault(EXCEPTION_POINTERS* fault, HWND owner);

enum class GuardResult { Done, Break, Reported };

// Runs call; a Plinth exception, COM error or standard exception that
// escapes is shown in its report box (BreakException silently ends the
// call). With paintWindow, the window's area is validated around the box so
// the box does not bring the same failing paint again.
template <typename Call>
GuardResult guardCall(Call&& call, HWND owner = nullptr, HWND paintWindow = nullptr) {
    auto validate = [paintWindow] {
        if (paintWindow) {
            ValidateRect(paintWindow, nullptr);
        }
    };
    try {
        call();
        return GuardResult::Done;
    } catch (const BreakException&) {
        return GuardResult::Break;
    } catch (const Exception& e) {
        validate();
        showException(e, owner);
        validate();
    } catch (const ComError& e) {
        validate();
        showComError(e, owner);
        validate();
    } catch (const std::exception& e) {
        validate();
        showStdException(e, owner);
        validate();
    }
    return GuardResult::Reported;
}

} // namespace Plinth
