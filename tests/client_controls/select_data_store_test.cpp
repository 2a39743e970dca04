// The controls library's data-store chooser, driven through its window as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>
#include <functional>
#include <string>
#include <thread>

#include "brelm_tools_api.h"
#include "select_data_store.h"

namespace {

const wchar_t kRegistryFolder[] = L"C:\\Users\\me\\Documents\\Zi Zivuzizoz\\";
const wchar_t kPortableFolder[] = L"D:\\Brelm & Co\\Zi Zivuzizoz\\";

class SelectDataStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryW(L"BrelmKMControls.dll");
        ASSERT_NE(m_module, nullptr);
        m_select = reinterpret_cast<PFN_BrelmKMSelectDataStore>(
            reinterpret_cast<void*>(GetProcAddress(m_module, "BrelmKMSelectDataStore")));
        ASSERT_NE(m_select, nullptr);
    }
    void TearDown() override {
        if (m_module) FreeLibrary(m_module);
    }

    HMODULE m_module = nullptr;
    PFN_BrelmKMSelectDataStore m_select = nullptr;
};

// Waits for this process's chooser window.
HWND WaitForChooser() {
    for (int i = 0; i < 400; ++i) {
        HWND window = FindWindowW(L"#32770", BRELMKM_SELECT_DATA_STORE_CAPTION);
        DWORD process = 0;
        if (window) GetWindowThreadProcessId(window, &process);
        if (window && process == GetCurrentProcessId() && IsWindowVisible(window)) return window;
        Sleep(50);
    }
    return nullptr;
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

struct ChooserRun {
    HRESULT result = E_UNEXPECTED;
    std::wstring chosen;
    bool sawChooser = false;
    bool registryCheckedFirst = false;
    std::wstring registryText, portableText;
};

// Runs the chooser while a helper thread acts on its window.
ChooserRun RunWith(PFN_BrelmKMSelectDataStore select, const wchar_t* registry, const wchar_t* portable,
                   const std::function<void(HWND)>& act) {
    ChooserRun run;
    std::thread user([&] {
        HWND dialog = WaitForChooser();
        if (!dialog) return;
        run.sawChooser = true;
        run.registryCheckedFirst =
            SendDlgItemMessageW(dialog, IDC_DATA_STORE_REGISTRY, BM_GETCHECK, 0, 0) == BST_CHECKED;
        run.registryText = WindowText(GetDlgItem(dialog, IDC_DATA_STORE_REGISTRY));
        run.portableText = WindowText(GetDlgItem(dialog, IDC_DATA_STORE_PORTABLE));
        act(dialog);
    });
    BSTR chosen = nullptr;
    run.result = select(registry, portable, &chosen);
    user.join();
    if (chosen) run.chosen = chosen;
    SysFreeString(chosen);
    return run;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

}  // namespace

TEST_F(SelectDataStoreTest, AnswersWithTheFolderTheUserConfirms) {
    struct Case {
        const char* name;
        std::function<void(HWND)> act;
        HRESULT result;
        const wchar_t* chosen;
    } cases[] = {
        {"portable, then OK",
         [](HWND d) { Click(d, IDC_DATA_STORE_PORTABLE); Click(d, IDOK); }, S_OK, kPortableFolder},
        {"OK at once", [](HWND d) { Click(d, IDOK); }, S_OK, kRegistryFolder},
        {"portable, then Cancel",
         [](HWND d) { Click(d, IDC_DATA_STORE_PORTABLE); Click(d, IDCANCEL); }, S_FALSE, kRegistryFolder},
        {"window closed", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, S_FALSE, kRegistryFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChooserRun run = RunWith(m_select, kRegistryFolder, kPortableFolder, c.act);
        ASSERT_TRUE(run.sawChooser);
        EXPECT_TRUE(run.registryCheckedFirst);
        EXPECT_EQ(run.registryText, kRegistryFolder);
        // "&" is doubled so that the button shows it instead of underlining the next letter.
        EXPECT_EQ(run.portableText, L"D:\\Brelm && Co\\Zi Zivuzizoz\\");
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.chosen, c.chosen);
    }
}

TEST_F(SelectDataStoreTest, NoAnswerPlaceFailsWithoutAWindow) {
    EXPECT_EQ(m_select(kRegistryFolder, kPortableFolder, nullptr), E_POINTER);
    EXPECT_EQ(FindWindowW(L"#32770", BRELMKM_SELECT_DATA_STORE_CAPTION), nullptr);
}
