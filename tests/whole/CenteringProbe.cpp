// Prints what the login window's centring depends on, as this Wine prefix and display answer it:
// the work area, and the size of the skin's rectangle grown by the frame of the style in dialog
// template 102 of the given program.
//
//     centering_probe.exe PROGRAM.exe SKIN_WIDTH SKIN_HEIGHT
//
// Output, one line each: "work LEFT TOP RIGHT BOTTOM", "style 0xSTYLE", "frame WIDTH HEIGHT".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

struct Module
{
    HMODULE h;
    explicit Module(const wchar_t* path)
        : h(::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~Module()
    {
        if (h)
            ::FreeLibrary(h);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
};

// The style of a dialog template, extended (DIALOGEX) or not.
bool TemplateStyle(HMODULE module, WORD id, DWORD* style)
{
    const WORD zhCN = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    HRSRC res = ::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id), zhCN);
    if (!res)
        res = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!res || ::SizeofResource(module, res) < 16)
        return false;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, res)));
    if (!data)
        return false;
    WORD version = 0, signature = 0;
    std::memcpy(&version, data, 2);
    std::memcpy(&signature, data + 2, 2);
    // DIALOGEX: version 1, signature 0xFFFF, help id, extended style, style.
    std::memcpy(style, (version == 1 && signature == 0xFFFF) ? data + 12 : data, 4);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: centering_probe PROGRAM.exe SKIN_WIDTH SKIN_HEIGHT\n");
        return 2;
    }
    Module program(argv[1]);
    DWORD style = 0;
    if (!program.h || !TemplateStyle(program.h, 102, &style))
    {
        std::fprintf(stderr, "dialog template 102 not found\n");
        return 1;
    }
    RECT work = {};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    {
        std::fprintf(stderr, "no work area\n");
        return 1;
    }
    RECT frame = {0, 0, std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10)};
    ::AdjustWindowRect(&frame, style, FALSE);
    std::printf("work %ld %ld %ld %ld\n", work.left, work.top, work.right, work.bottom);
    std::printf("style 0x%08lx\n", static_cast<unsigned long>(style));
    std::printf("frame %ld %ld\n", frame.right - frame.left, frame.bottom - frame.top);
    return 0;
}
