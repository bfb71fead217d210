#include "platform/NativePaste.h"

#include <windows.h>

#include <chrono>
#include <thread>
#include <vector>

namespace NativePaste {

namespace {

std::uint64_t ProcessOf(HWND window)
{
    DWORD process = 0;
    if (!window || GetWindowThreadProcessId(window, &process) == 0)
        return 0;
    return process;
}

INPUT KeyInput(WORD virtualKey, bool isUp)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = isUp ? KEYEVENTF_KEYUP : 0;
    return input;
}

}

std::uint64_t FocusedProgram()
{
    return ProcessOf(GetForegroundWindow());
}

bool SendPasteKeystroke(int waitMilliseconds)
{
    // The global key's own modifiers would turn Ctrl+V into Ctrl+Alt+V.
    const WORD modifiers[] = {VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LSHIFT, VK_RSHIFT, VK_LWIN, VK_RWIN};
    std::vector<INPUT> inputs;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        inputs.clear();
        for (const WORD key : modifiers) {
            if (GetAsyncKeyState(key) & 0x8000)
                inputs.push_back(KeyInput(key, true));
        }
        if (inputs.empty() || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (const bool isUp : {false, true}) {
        if (!isUp)
            inputs.push_back(KeyInput(VK_CONTROL, false));
        inputs.push_back(KeyInput('V', isUp));
        if (isUp)
            inputs.push_back(KeyInput(VK_CONTROL, true));
    }
    return SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

std::vector<std::string> PrivateFormats()
{
    // Windows' clipboard history and the clipboard managers that follow its convention leave a
    // clipboard with this format alone.
    return {R"(application/x-qt-windows-mime;value="ExcludeClipboardContentFromMonitorProcessing")"};
}

// The reader has the clipboard open while it asks for the data, with its own window named.
struct ReaderWatch::Watcher { };

ReaderWatch::ReaderWatch() = default;
ReaderWatch::~ReaderWatch() = default;

std::uint64_t ReaderWatch::currentReader() const
{
    return ProcessOf(GetOpenClipboardWindow());
}

}
