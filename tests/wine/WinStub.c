// SPDX-License-Identifier: GPL-3.0-or-later
/* A Windows stand-in for the game: records the command line and current directory it was
   started with, the prefix it runs in, and the values of GT_SEEN and WINEDLLOVERRIDES it sees,
   in "launch.txt" beside itself, as UTF-8, one per line. */
#include <windows.h>

static void put(HANDLE file, const WCHAR* text) {
    char buffer[8192];
    DWORD written;
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (length > 1)
        WriteFile(file, buffer, (DWORD)length - 1, &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
    WCHAR folder[MAX_PATH], record[MAX_PATH], temporary[MAX_PATH], current[MAX_PATH];
    WCHAR prefix[MAX_PATH] = L"", seen[MAX_PATH] = L"", overrides[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(NULL, folder, MAX_PATH);
    (void)instance, (void)previous, (void)arguments, (void)show;
    while (length > 0 && folder[length - 1] != L'\\')
        --length;
    folder[length] = 0;
    lstrcpyW(record, folder);
    lstrcatW(record, L"launch.txt");
    lstrcpyW(temporary, folder);
    lstrcatW(temporary, L"launch.tmp");
    GetCurrentDirectoryW(MAX_PATH, current);
    /* Wine hands the program the variables of the process that started it. */
    GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    GetEnvironmentVariableW(L"GT_SEEN", seen, MAX_PATH);
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, MAX_PATH);

    HANDLE file =
        CreateFileW(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    put(file, GetCommandLineW());
    put(file, current);
    put(file, prefix);
    put(file, seen);
    put(file, overrides);
    CloseHandle(file);
    return MoveFileExW(temporary, record, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
