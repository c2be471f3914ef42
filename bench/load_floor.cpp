// The floor of kestrane.exe's load time: the engine alone, natively, loads a file as the main
// window loads it (read, rows, the colouring of scripts) and writes the milliseconds it took to a
// result file. The end-to-end bench starts it on the files it opens in kestrane.exe under Wine.
//
// Usage: load_floor FILE RESULT
#include "../tests/support/fake_editor.h"
#include "app/main_window_editor.h"
#include "document/editor_strings.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

int main(int ArgumentCount, char** Arguments) {
    if (ArgumentCount != 3) {
        std::fprintf(stderr, "usage: load_floor FILE RESULT\n");
        return 2;
    }
    try {
        kst::FakeEditor editor;
        kst::ApplyMainWindowColouring(*editor.Fountain);
        kst::TEditorStrings lines(editor);
        const auto start = std::chrono::steady_clock::now();
        lines.LoadFromFile(Arguments[1]);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        // Written whole under another name first: the bench waits for the result to appear.
        const std::filesystem::path result(Arguments[2]);
        const std::filesystem::path partial = result.string() + ".partial";
        std::ofstream(partial) << took.count() << "\n";
        std::filesystem::rename(partial, result);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "load_floor: %s\n", error.what());
        return 1;
    }
}
