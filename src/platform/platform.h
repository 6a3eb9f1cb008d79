// The one boundary between the program and the machine: display and 2D drawing, images and fonts,
// audio, polled input, files and text streams, time, memory and the random generator.
// No file outside src/platform/ includes an SDL, OpenGL, OpenAL, FreeType or libpng header.
//
// Conventions of this interface:
// - Resource ids (images, fonts, samples, channels) are ints, 0 meaning none. Every operation that
//   takes an id accepts 0 or a stale id and then does nothing (or answers 0).
// - Text is std::string holding one byte per character (Latin-1).
// - Drawing coordinates are virtual units once SetVirtualResolution has been called; angles are
//   degrees, clockwise on screen; colours are 0-255 with a separate alpha 0-1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Start-up of the layer itself
// ---------------------------------------------------------------------------------------------

// Brings up the real platform (SDL video, events, joysticks, audio). Safe to call twice.
// The headless twin (platform/headless/headless.h) replaces this in tests.
void InitPlatform();
// Ends the process with the given status. On the headless twin it throws ProcessExit instead,
// so tests can run Main() to its end.
[[noreturn]] void EndProcess(int status);

// ---------------------------------------------------------------------------------------------
// Display
// ---------------------------------------------------------------------------------------------

// Back-end choice for the next OpenDisplay: OpenGL, SDL_Renderer (the "Direct3D 9" slot) and the
// software rasteriser (the "Direct3D 7" slot).
void SelectOpenGLBackend();
void SelectDirect3D9Backend();
void SelectDirect3D7Backend();

struct DisplayMode {
    int width = 0;
    int height = 0;
    int depth = 0;    // bits per pixel
    int refresh = 0;  // Hz, 0 when unknown
};
int CountDisplayModes();
DisplayMode GetDisplayMode(int index);  // index 0 .. CountDisplayModes()-1; out of range: all 0
// refresh 0 matches any rate.
bool DisplayModeExists(int width, int height, int depth, int refresh);

// depth 0 opens a window of width x height; any other depth opens full screen (a desktop-sized
// borderless window into which the back buffer is scaled). Returns false, with one log-worthy
// reason in LastPlatformError(), when no display can be opened at all.
bool OpenDisplay(int width, int height, int depth, int refresh);
void CloseDisplay();
bool DisplayIsOpen();
std::string LastPlatformError();
// One line for each back end the last OpenDisplay could not start and passed over, with the
// reason, e.g. "OpenGL could not start (...), trying SDL_Renderer"; empty when the chosen one ran.
std::vector<std::string> DisplayFallbackNotes();
std::string ActiveBackendName();  // "OpenGL", "SDL_Renderer", "Software"; "" when closed
void SetApplicationTitle(const std::string& title);

// Hands the frame's drawing so far to the device, so a GPU (or Mesa's rasteriser threads) can
// work while the program sleeps before Present. Drawing may continue afterwards.
void FlushDrawing();
// mode 0 presents at once; -1 lets the platform pace (vertical blank where it has one).
void Present(int mode);
void ClearScreen();  // to black, the whole back buffer
// Maps virtual units onto the display: drawing coordinates and VirtualMouseX/Y use them.
void SetVirtualResolution(int width, int height);
int DisplayPixelWidth();   // the back buffer's size in pixels
int DisplayPixelHeight();

// ---------------------------------------------------------------------------------------------
// Draw state and drawing
// ---------------------------------------------------------------------------------------------

// Blend modes of SetDrawBlend.
constexpr int kBlendMasked = 1;  // no blending, pixels with alpha below 0.5 discarded
constexpr int kBlendSolid = 2;   // source replaces destination
constexpr int kBlendAlpha = 3;   // src*a + dst*(1-a)
constexpr int kBlendLight = 4;   // src*a + dst
constexpr int kBlendShade = 5;   // src*dst

void SetDrawColor(int r, int g, int b);
void SetDrawAlpha(float alpha);  // clamped to 0..1
void SetDrawBlend(int mode);     // 1..5; other values change nothing
void SetDrawRotation(float degrees);
void SetDrawScale(float sx, float sy);
float GetDrawAlpha();
int GetDrawBlend();
void GetDrawScale(float& sx, float& sy);
void GetDrawColor(int& r, int& g, int& b);
float GetDrawRotation();

// Draws frame `frame` of an image with its handle point at (x, y), turned and scaled about it.
void DrawImageFrame(int image, float x, float y, int frame);
// Both are turned and scaled about their first point (x, y).
void DrawFilledRect(float x, float y, float width, float height);
void DrawLineSegment(float x1, float y1, float x2, float y2);
// Text with its top-left corner at (x, y), turned and scaled about that point.
void DrawString(const std::string& text, float x, float y);
int TextWidthOf(const std::string& text);  // virtual units of the current font, unscaled
int TextHeightOf();

// ---------------------------------------------------------------------------------------------
// Fonts and images
// ---------------------------------------------------------------------------------------------

constexpr int kFontSmooth = 4;  // anti-aliased style flag of LoadFont
// A TrueType file at a fixed pixel size, measured and drawn in virtual units; glyphs are rasterised
// at the virtual-to-display scale current at load time so text stays sharp. 0 when unreadable.
int LoadFont(const std::string& file, int pixelSize, int style);
void SelectFont(int font);

// Image load flags.
constexpr int kImageMasked = 1;     // black becomes transparent in files without alpha
constexpr int kImageFiltered = 2;   // bilinear scaling instead of nearest pixel
constexpr int kImageMipmapped = 4;

// Images created or loaded while this is on get their handle at their centre; otherwise top-left.
void SetAutoCentreHandle(bool on);
int LoadImageFile(const std::string& file, int flags);
// frameCount frames of frameWidth x frameHeight cut row by row from the top-left of the file,
// starting at firstFrame.
int LoadImageStrip(const std::string& file, int frameWidth, int frameHeight, int firstFrame,
                   int frameCount, int flags);
int CreateBlankImage(int width, int height, int frameCount, int flags);
void FreeImage(int image);
int ImageWidth(int image);   // one frame, pixels
int ImageHeight(int image);
int ImageFrameCount(int image);
// Copies the back buffer's display pixels starting at (x, y) into one frame of an image.
void GrabScreenToImage(int image, int x, int y, int frame);
// Pixel-exact: do the non-transparent pixels of the two frames, each placed by its handle at its
// position under the current scale and rotation, overlap?
bool ImagesOverlap(int imageA, float xA, float yA, int frameA, int imageB, float xB, float yB,
                   int frameB);

// A block of pixels in memory, 0xAARRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};
// The back buffer as drawn so far this frame, in display pixels.
Pixels GrabScreenPixels(int x, int y, int width, int height);
uint32_t ReadPixelArgb(const Pixels& pixels, int x, int y);  // out of range: 0
void WritePixelArgb(Pixels& pixels, int x, int y, uint32_t argb);
// level 0-9 as zlib's; false when the file cannot be written.
bool SavePixelsAsPng(const Pixels& pixels, const std::string& file, int level);
// Decoded file as pixels (no display needed); empty when unreadable.
Pixels LoadPixelsFromPng(const std::string& file);

// ---------------------------------------------------------------------------------------------
// Audio
// ---------------------------------------------------------------------------------------------

std::vector<std::string> ListAudioDrivers();
bool AudioDriverExists(const std::string& name);
void SelectAudioDriver(const std::string& name);
bool OpenALAvailable();
std::string ActiveAudioDriverName();
int LoadSample(const std::string& file);  // RIFF WAV; 0 when unreadable
void FreeSample(int sample);
int AllocateChannel();
// Prepares a sample paused on a channel; channel 0 asks for a new one. Returns the channel or 0.
int CueOnChannel(int sample, int channel = 0);
void ResumeChannel(int channel);
void StopChannel(int channel);
bool ChannelIsPlaying(int channel);
void SetChannelVolume(int channel, float volume);  // 0..1
void SetChannelPan(int channel, float pan);        // -1 left .. 1 right
void SetChannelRate(int channel, float rate);      // 1 = normal pitch

// ---------------------------------------------------------------------------------------------
// Input (polled; every query first processes pending window events)
// ---------------------------------------------------------------------------------------------

// Key codes are Windows virtual-key numbers (1..255).
int KeyHits(int key);  // presses since the last call for this key
bool KeyIsDown(int key);
int NextTypedChar();   // Latin-1 code of the next typed character, 0 when none
void FlushKeyboard();  // forgets hits and typed characters
int MouseX();          // display pixels
int MouseY();
float VirtualMouseX();
float VirtualMouseY();
int MouseHits(int button);  // 1 left, 2 right; presses since the last call
bool MouseIsDown(int button);
void ShowPointer();
void HidePointer();
bool CloseRequested();  // the window's close button (stays set once seen)

int JoystickCount();
uint32_t JoystickButtonMask(int port);  // one bit per button
std::string JoystickName(int port);
bool JoystickButtonDown(int button, int port);
// Axis numbers of JoystickAxis.
enum JoystickAxisId { kAxisX = 0, kAxisY, kAxisZ, kAxisR, kAxisU, kAxisV, kAxisHat };
// Axes -1..1; the hat -1 when centred, else a fraction of a turn clockwise from up.
float JoystickAxis(int port, int axis);

// ---------------------------------------------------------------------------------------------
// Files and text streams
// ---------------------------------------------------------------------------------------------

int PathKind(const std::string& path);  // 0 nothing, 1 file, 2 folder
bool ChangeFolder(const std::string& path);
std::string CurrentFolder();
bool DeleteFile(const std::string& path);
bool MakeFolder(const std::string& path);

// A text stream: lines of one byte per character. Stream ids are ints, 0 meaning none.
int OpenForReading(const std::string& path);
// Creates or replaces. With atomic = true the text goes to a temporary file in the same folder,
// renamed over `path` by CloseStream only when every write succeeded.
int OpenForWriting(const std::string& path, bool atomic = false);
// Returns false when a write-stream had a write failure (nothing replaced for atomic streams).
bool CloseStream(int stream);
std::string ReadTextLine(int stream);  // ends at LF, a zero byte or the end; CR dropped
bool WriteTextLine(int stream, const std::string& line);  // low 8 bits of each char, CR LF
bool AtEndOfStream(int stream);

// ---------------------------------------------------------------------------------------------
// Time and memory
// ---------------------------------------------------------------------------------------------

int Milliseconds();
void Sleep(int milliseconds);
std::string CurrentDateText();  // "dd Mon yyyy"
std::string CurrentTimeText();  // "hh:mm:ss"

void DisableAutoCollect();
int CollectGarbage();  // count of objects released since the last call
int64_t MemoryInUse();  // bytes

// ---------------------------------------------------------------------------------------------
// Random numbers: one global generator whose sequence is part of the program's behaviour.
// ---------------------------------------------------------------------------------------------

void SeedRandom(int32_t seed);
int32_t RandomState();
double RandomUnit();  // [0, 1)
float RandomFloat(float min, float max);
int RandomInt(int min, int max);
