# Settings shared by every target of ours (not by third-party code we build).

function(kelvane_warnings target)
    # Partial aggregate initialisation is the normal way to fill Win32 records.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers)
endfunction()

# Win32 headers in the form the program uses: ANSI functions, no min/max macros.
set(KELVANE_WIN32_LIBS
    advapi32 user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid
    version wininet ws2_32 mpr wintrust crypt32 url)

function(kelvane_windows_settings target)
    target_compile_definitions(${target} PUBLIC
        WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 NOMINMAX STRICT)
    # One self-contained file: static C, C++ and thread runtimes.
    target_link_options(${target} PUBLIC -static -static-libgcc -static-libstdc++)
endfunction()
