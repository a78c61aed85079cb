#include "main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <stdexcept>

#include "bar_position.h"
#include "control_classes.h"
#include "engine_controls.h"
#include "form_layout.h"
#include "frame_control.h"
#include "resource_ids.h"
#include "texts.h"
#include "win32_text.h"
#include "window_class.h"
#include "window_metrics.h"

namespace {

const DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// The folder buttons and the fields they fill, by CampoRuta.
const std::array<ControlId, 5> kCampoButtons = {kIdBuscar, kIdBuscar1, kIdBuscar2, kIdBuscar3, kIdBuscar4};
const std::array<ControlId, 5> kCampoFields = {kIdText1, kIdText5, kIdText2, kIdText6, kIdText4};

} // namespace

MainWindow::MainWindow(HINSTANCE instance, Platform& platform, std::function<void()> endProgram)
    : engine_(*this, platform), platform_(platform), endProgram_(std::move(endProgram)), instance_(instance)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    RegisterFrameClass(instance);

    RegisterWindowClass<WindowProc>(instance, VACIALLENA_WINDOW_CLASS);

    CreateWindowExW(kWindowExStyle, VACIALLENA_WINDOW_CLASS, Utf16(texts::kWindowCaption).c_str(), kWindowStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!window_)
        ThrowSystemError<std::runtime_error>(texts::kWindowNotMade);
    // An elevated program, as an administrator's often is, hears from
    // Explorer only what it lets through.
    ChangeWindowMessageFilterEx(window_, taskbarButtonCreated_, MSGFLT_ALLOW, nullptr);

    icon_.Reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_VACIALLENA), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
    smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VACIALLENA), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    CreateControls();
    picker_.emplace(
        controls_, [this](const std::string& folder) { FolderChosen(folder); }, [this] { FocusAfterPicker(); });
    const int dpi = WindowDpi(window_);
    LayOut(dpi);

    // Centred on the monitor the window opened on.
    const SIZE size = WindowSizeForClient(window_, TwipsToPixels(kClientWidthTwips, dpi),
                                          TwipsToPixels(kClientHeightTwips, dpi));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                 work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

MainWindow::~MainWindow()
{
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

HWND MainWindow::ControlWindow(ControlId id) const
{
    return controls_.at(id);
}

void MainWindow::CreateControls()
{
    for (const ControlLayout& control : FormLayout()) {
        const ControlClass controlClass = ClassOf(control.kind);
        HWND parent = control.container == kIdWindow ? window_ : controls_.at(control.container);
        HWND created = CreateWindowExW(
            controlClass.exStyle, controlClass.name, Utf16(control.caption).c_str(),
            WS_CHILD | WS_CLIPSIBLINGS | controlClass.style | (control.visible ? WS_VISIBLE : 0), 0, 0, 0, 0,
            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_, nullptr);
        if (!created)
            ThrowSystemError<std::runtime_error>(texts::kWindowNotMade);
        controls_[control.id] = created;
        enabled_[control.id] = control.enabled;
        if (control.kind == ControlKind::TextField)
            SendMessageW(created, EM_SETLIMITTEXT, 0, 0);
        if (control.kind == ControlKind::ProgressBar)
            SendMessageW(created, PBM_SETRANGE32, 0, kBarRange);
    }
    // Checking the records is the safer choice, so it is the one made at start.
    SendMessageW(controls_.at(kIdCheck4), BM_SETCHECK, BST_CHECKED, 0);
    // A label never covers the edge of the field below it.
    for (const ControlLayout& control : FormLayout()) {
        if (control.kind == ControlKind::Label)
            SetWindowPos(controls_.at(control.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ShowEnabling();
}

void MainWindow::LayOut(int dpi)
{
    const std::wstring face = FontFace();
    font_.Reset(CreateWindowFont(face, dpi, false));
    boldFont_.Reset(CreateWindowFont(face, dpi, true));
    const int pictureSize = MulDiv(16, dpi, 96);
    UniqueIcon picture(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_FOLDER), IMAGE_ICON, pictureSize, pictureSize, 0)));

    for (const ControlLayout& control : FormLayout()) {
        HWND hwnd = controls_.at(control.id);
        int height = TwipsToPixels(control.height, dpi);
        // A drop-down list's height includes the list that drops down.
        if (control.kind == ControlKind::DriveList)
            height *= 10;
        MoveWindow(hwnd, TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi),
                   TwipsToPixels(control.width, dpi), height, TRUE);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.bold ? boldFont_.Get() : font_.Get()),
                     TRUE);
        if (control.kind == ControlKind::PictureButton)
            SendMessageW(hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture.Get()));
    }
    // The buttons show the new picture now; the old one can go.
    folderPicture_ = std::move(picture);
    picker_->LayOut(dpi, font_.Get());
    PlaceStatusLines(dpi);
}

void MainWindow::PlaceStatusLines(int dpi)
{
    for (const ControlLayout& control : sideBySide_ ? StatusLinesSideBySide() : FormLayout()) {
        if (control.id == kIdLabel5 || control.id == kIdLabel4)
            MoveWindow(controls_.at(control.id), TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi),
                       TwipsToPixels(control.width, dpi), TwipsToPixels(control.height, dpi), TRUE);
    }
}

void MainWindow::DpiChanged(int dpi, const RECT& suggested)
{
    LayOut(dpi);
    const SIZE size = WindowSizeForClient(window_, TwipsToPixels(kClientWidthTwips, dpi),
                                          TwipsToPixels(kClientHeightTwips, dpi));
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == taskbarButtonCreated_ && taskbarButtonCreated_ != 0) {
        TaskbarButtonCreated();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0)
            Command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        // Only the picker's lists are drawn by the window.
        picker_->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kIdTimer1 && timerRunning_)
            Timer1_Timer();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            focusOnDeactivation_ = GetFocus();
            return 0;
        }
        if (!activated_) {
            activated_ = true;
            Form_Activate();
        }
        // Back where it was, which during a run may be the window itself.
        SetFocus(focusOnDeactivation_ == window_ || IsChild(window_, focusOnDeactivation_) ? focusOnDeactivation_
                                                                                          : controls_.at(kIdAceptar));
        return 0;
    case WM_DPICHANGED:
        DpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        // Closing the window ends the program at once, like the confirmed
        // exit: no further command of a run may start without a window.
        EndProgram();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MainWindow::Command(int id, int notification)
{
    if (id == kIdDrive1) {
        // Filled again as it opens, for a drive plugged in since.
        if (notification == CBN_DROPDOWN)
            picker_->FillDrive1();
        else if (notification == CBN_SELCHANGE)
            picker_->Drive1_Change();
        return;
    }
    if (id == kIdDir1) {
        if (notification == LBN_DBLCLK)
            picker_->OpenDir1Entry();
        return;
    }
    if (notification != BN_CLICKED)
        return;
    switch (id) {
    case kIdCheck2:
        Check2_Click();
        break;
    case kIdCheck3:
        Check3_Click();
        break;
    case kIdAceptar:
        Aceptar_Click();
        break;
    case kIdCancelar:
        Cancelar_Click();
        break;
    case kIdSeleccion:
        picker_->Seleccion_Click();
        break;
    case kIdCancelar1:
        picker_->Cancelar1_Click();
        break;
    default:
        if (const std::optional<std::int16_t> campo = CampoOf(static_cast<ControlId>(id)))
            Buscar_Click(*campo);
        break;
    }
}

std::optional<std::int16_t> MainWindow::CampoOf(ControlId button)
{
    const auto found = std::find(kCampoButtons.begin(), kCampoButtons.end(), button);
    if (found == kCampoButtons.end())
        return std::nullopt;
    return static_cast<std::int16_t>(found - kCampoButtons.begin());
}

void MainWindow::Buscar_Click(std::int16_t campo)
{
    CampoRuta = campo;
    if (!picker_->Shown())
        picker_->Show();
}

void MainWindow::FolderChosen(const std::string& folder)
{
    if (CampoRuta)
        SetControlText(kCampoFields.at(static_cast<std::size_t>(*CampoRuta)), folder);
}

// Back to the button that opened the picker, or the next best.
void MainWindow::FocusAfterPicker()
{
    const ControlId opener = CampoRuta ? kCampoButtons.at(static_cast<std::size_t>(*CampoRuta)) : kIdAceptar;
    for (ControlId candidate : {opener, kIdAceptar}) {
        if (Usable(candidate)) {
            SetFocus(controls_.at(candidate));
            return;
        }
    }
    MoveFocus(true);
}

void MainWindow::Aceptar_Click()
{
    engine_.Aceptar_Click();
}

void MainWindow::Cancelar_Click()
{
    Respuesta = ShowMessage(texts::kExitQuestion, texts::kExitTitle, kStyleQuestion);
    if (*Respuesta == kAnswerOk)
        EndProgram();
    else if (engine_.Running())
        // As when the run began: no control keeps the focus for a stray
        // Enter to ask again, whose second press would answer OK.
        SetFocus(window_);
}

void MainWindow::EndProgram()
{
    engine_.EndedByUser();
    endProgram_();
}

bool MainWindow::PreTranslate(const MSG& message)
{
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd))
        return false;
    const bool controlOrAlt = (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000);
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && !controlOrAlt) {
        MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) == 0);
        return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        const ControlId focused = FocusedControl();
        if (focused == kIdDir1) {
            picker_->OpenDir1Entry();
            return true;
        }
        if (focused != kIdWindow && IsPushButton(LayoutOf(focused).kind)) {
            SendMessageW(controls_.at(focused), BM_CLICK, 0, 0);
            return true;
        }
    }
    if (message.message == WM_SYSCHAR)
        return PressAccessKey(static_cast<wchar_t>(message.wParam));
    return false;
}

ControlId MainWindow::FocusedControl() const
{
    for (HWND focus = GetFocus(); focus && focus != window_; focus = GetParent(focus)) {
        for (const auto& [id, hwnd] : controls_) {
            if (hwnd == focus)
                return id;
        }
    }
    return kIdWindow;
}

bool MainWindow::EnabledWithContainers(ControlId id) const
{
    for (; id != kIdWindow; id = LayoutOf(id).container) {
        if (!enabled_.at(id))
            return false;
    }
    return true;
}

bool MainWindow::Usable(ControlId id) const
{
    return IsWindowVisible(controls_.at(id)) && EnabledWithContainers(id);
}

void MainWindow::MoveFocus(bool forward)
{
    const std::vector<ControlId> order = FocusOrder();
    const auto count = static_cast<int>(order.size());
    int current = forward ? -1 : 0;
    for (int i = 0; i < count; ++i) {
        if (order[i] == FocusedControl())
            current = i;
    }
    for (int step = 1; step <= count; ++step) {
        const ControlId next = order[((current + (forward ? step : -step)) % count + count) % count];
        if (Usable(next)) {
            SetFocus(controls_.at(next));
            if (LayoutOf(next).kind == ControlKind::TextField)
                SendMessageW(controls_.at(next), EM_SETSEL, 0, -1);
            return;
        }
    }
}

// As in dialogs: the search starts after the control that has the focus, so
// that two buttons with the same key take turns.
bool MainWindow::PressAccessKey(wchar_t key)
{
    const std::vector<ControlId> order = FocusOrder();
    const auto count = static_cast<int>(order.size());
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (order[i] == FocusedControl())
            current = i;
    }
    const wchar_t wanted = static_cast<wchar_t>(towupper(key));
    for (int step = 1; step <= count; ++step) {
        const ControlId candidate = order[(current + step) % count];
        const ControlLayout& control = LayoutOf(candidate);
        if (AccessKey(control.caption) == wanted && Usable(candidate)) {
            if (!IsPushButton(control.kind))
                SetFocus(controls_.at(candidate));
            SendMessageW(controls_.at(candidate), BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

void MainWindow::ShowEnabling()
{
    for (const ControlLayout& control : FormLayout())
        EnableWindow(controls_.at(control.id), EnabledWithContainers(control.id));
}

void MainWindow::SetEnabled(ControlId id, bool enabled)
{
    const ControlId focused = FocusedControl();
    enabled_[id] = enabled;
    ShowEnabling();
    // Keyboard users keep a focus when the control that had it is locked.
    if (focused != kIdWindow && !Usable(focused)) {
        SetFocus(controls_.at(focused));
        MoveFocus(true);
    }
}

std::string MainWindow::ControlText(ControlId id) const
{
    return WindowText(controls_.at(id));
}

void MainWindow::SetControlText(ControlId id, const std::string& text)
{
    SetWindowTextW(controls_.at(id), Utf16(text).c_str());
}

std::string MainWindow::Text(Field field)
{
    return ControlText(IdOf(field));
}

int MainWindow::Value(CheckBox box)
{
    return static_cast<int>(SendMessageW(controls_.at(IdOf(box)), BM_GETCHECK, 0, 0));
}

void MainWindow::SetCaption(Caption label, const std::string& caption)
{
    if (label == Caption::Label5)
        statusCaption_ = caption;
    SetControlText(label == Caption::Label4 ? kIdLabel4 : kIdLabel5, caption);
}

int MainWindow::ShowMessage(const std::string& text, const std::string& title, int style)
{
    return MessageBoxW(window_, Utf16(text).c_str(), Utf16(title).c_str(), static_cast<UINT>(style));
}

void MainWindow::DoEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
