// pf_video.cpp -- display modes, the game window, its renderer and kept textures over SDL2
#include "platform/pf_video.h"
#include "platform/pf_video_backend.h"

#include <SDL.h>
#include <unistd.h>

#include "platform/pf_system.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

struct platform_texture {
    SDL_Texture *texture = nullptr; // null while the renderer has lost it
    int width = 0;
    int height = 0;
    bool keep_pixels = false;
    bool opaque = false;               // drawn without blending, alpha ignored
    std::vector<std::uint32_t> pixels; // the kept copy, when keep_pixels
    bool locked = false;
};

namespace {

bool video_started = false;
SDL_Window *window = nullptr;
bool window_destroy_pending = false; // destroyed by the game, kept for the renderer
SDL_Renderer *renderer = nullptr;
bool renderer_vsync = false;
bool textures_lost = false;
bool event_watch_added = false;
bool cursor_shown = true;

std::vector<platform_texture *> textures;
std::vector<SDL_Vertex> vertex_scratch;

// Frames are spaced by the frame tick on the game's clock, whatever the driver claims
// about vsync: a present that really waits for a 60 Hz retrace is never early, and
// one that does not wait (Xvfb, many software paths) no longer spins.
constexpr std::uint32_t frame_interval_ms = 16;
bool frame_scheduled = false;
std::uint32_t next_frame_due = 0;
// Set when the window's contents must be presented again even if the picture is unchanged.
bool redraw_needed = true;
const char *renderer_kind = "none";

// The backend of the start-up steps (see pf_video_backend.h).
const platform_video_backend *backend = &platform_video_sdl;

// Test read-back.
bool capture_on = false;
std::vector<std::uint32_t> captured;
int captured_width = 0;
int captured_height = 0;
std::uint32_t captured_frames = 0;
int last_warp_x = 0;
int last_warp_y = 0;
int icon_width = 0;
int icon_height = 0;

int SDLCALL watch_render_resets(void *, SDL_Event *e) {
    if (e->type == SDL_RENDER_TARGETS_RESET || e->type == SDL_RENDER_DEVICE_RESET)
        textures_lost = true;
    return 1;
}

// Opaque textures take the window surface's usual format, so that the software
// renderer stretches them with a plain copy.
SDL_Texture *make_sdl_texture(int width, int height, bool opaque) {
    SDL_Texture *t = SDL_CreateTexture(renderer, opaque ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888,
                                       SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!t)
        return nullptr;
    SDL_SetTextureBlendMode(t, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
    return t;
}

// Copies width x height words (row stride width) into an SDL texture: one lock and
// one block copy when the pitch allows it.
bool upload(SDL_Texture *t, const std::uint32_t *src, int width, int height) {
    void *pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(t, nullptr, &pixels, &pitch) != 0)
        return false;
    platform_copy_rows(pixels, (std::size_t)pitch, src, (std::size_t)width, width, height);
    SDL_UnlockTexture(t);
    return true;
}

bool clear_sdl_texture(SDL_Texture *t, int height) {
    void *pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(t, nullptr, &pixels, &pitch) != 0)
        return false;
    std::memset(pixels, 0, (std::size_t)pitch * (std::size_t)height);
    SDL_UnlockTexture(t);
    return true;
}

// Rebuilds every texture the renderer lost, from the kept pixels (the framebuffer's
// texture, which is refilled every frame, comes back blank).
void restore_textures() {
    textures_lost = false;
    for (platform_texture *t : textures) {
        if (t->texture)
            SDL_DestroyTexture(t->texture);
        t->texture = make_sdl_texture(t->width, t->height, t->opaque);
        if (!t->texture)
            continue;
        if (t->keep_pixels)
            upload(t->texture, t->pixels.data(), t->width, t->height);
        else
            clear_sdl_texture(t->texture, t->height);
    }
}

void destroy_window_now() {
    if (window)
        SDL_DestroyWindow(window);
    window = nullptr;
    window_destroy_pending = false;
    icon_width = icon_height = 0;
}

// TOMBWEAVER_FRAME_LOG set: the wall-clock time of the first present goes to stderr,
// so that a script can measure the time from launch to the first frame.
void log_first_present() {
    static bool logged = false;
    if (logged || !std::getenv("TOMBWEAVER_FRAME_LOG"))
        return;
    logged = true;
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    std::fprintf(stderr, "first frame at %lld.%09ld\n", (long long)ts.tv_sec, ts.tv_nsec);
}

bool dummy_driver() {
    const char *driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}

enum renderer_choice { renderer_choice_sdl, renderer_choice_software, renderer_choice_accelerated };

// The name of the OpenGL rasteriser, read from a throw-away hidden window; empty when
// there is no OpenGL.
std::string opengl_renderer_name() {
    std::string name;
    SDL_Window *probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
    if (!probe)
        return name;
    SDL_GLContext context = SDL_GL_CreateContext(probe);
    if (context) {
        typedef const unsigned char *(*get_string_fn)(unsigned);
        get_string_fn get_string = (get_string_fn)SDL_GL_GetProcAddress("glGetString");
        constexpr unsigned gl_renderer = 0x1F01;
        const unsigned char *text = get_string ? get_string(gl_renderer) : nullptr;
        if (text)
            name = (const char *)text;
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(probe);
    return name;
}

// TOMBWEAVER_RENDERER=software or accelerated forces one (another value is named on
// stderr and passed over); SDL_RENDER_DRIVER leaves the
// choice to SDL; otherwise the software renderer wherever OpenGL is itself a software
// rasteriser (drawing the picture once on the CPU beats going through one).
renderer_choice choose_renderer() {
    const char *forced = std::getenv("TOMBWEAVER_RENDERER");
    if (forced && std::strcmp(forced, "software") == 0)
        return renderer_choice_software;
    if (forced && std::strcmp(forced, "accelerated") == 0)
        return renderer_choice_accelerated;
    if (forced && forced[0])
        std::fprintf(stderr,
                     "tombweaver: TOMBWEAVER_RENDERER=%s is not a renderer this game knows (software or "
                     "accelerated); the game chooses one itself\n",
                     forced);
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) || dummy_driver())
        return renderer_choice_sdl;
    // Without a GPU device node OpenGL can only be a software rasteriser: no need to
    // pay for a context to find out.
    if (access("/dev/dri", F_OK) != 0)
        return renderer_choice_software;
    std::string gl = opengl_renderer_name();
    for (const char *rasteriser : {"llvmpipe", "softpipe", "swrast"})
        if (gl.find(rasteriser) != std::string::npos)
            return renderer_choice_software;
    return gl.empty() ? renderer_choice_software : renderer_choice_accelerated;
}

} // namespace

static bool sdl_video_init() {
    if (video_started)
        return true;
    // The window class is the game's application id, by which the desktop matches the
    // window to its launcher entry and icon. SDL reads it from the environment when
    // video starts; a class the user set is kept.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", TW_APP_ID, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", TW_APP_ID, 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    video_started = true;
    return true;
}

void platform_video_quit() {
    if (renderer)
        platform_renderer_destroy();
    destroy_window_now();
    if (video_started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_started = false;
}

// Without a real display SDL falls back to its offscreen driver, whose one mode has
// no size: that is no display list either.
static int sdl_display_mode_count() {
    if (!video_started || SDL_GetNumVideoDisplays() < 1)
        return -1;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0)
            return n;
    }
    return -1;
}

static bool sdl_display_mode(int index, int *width, int *height) {
    if (index < 0 || index >= sdl_display_mode_count())
        return false;
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, index, &mode) != 0)
        return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

static bool sdl_usable_bounds(int *x, int *y, int *width, int *height) {
    SDL_Rect r = {0, 0, 0, 0};
    if (!video_started || SDL_GetDisplayUsableBounds(0, &r) != 0) {
        *x = *y = *width = *height = 0;
        return false;
    }
    *x = r.x;
    *y = r.y;
    *width = r.w;
    *height = r.h;
    return true;
}

static bool sdl_window_create(const char *title, int width, int height) {
    if (!video_started)
        return false;
    if (window_destroy_pending && !renderer)
        destroy_window_now();
    if (window)
        return false;
    window = SDL_CreateWindow(title ? title : "", 0, 0, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    return window != nullptr;
}

void platform_window_destroy() {
    if (!window || window_destroy_pending)
        return;
    if (renderer) {
        // The renderer draws into this window until it is released.
        SDL_HideWindow(window);
        window_destroy_pending = true;
        return;
    }
    destroy_window_now();
}

bool platform_window_set_icon(const std::uint32_t *argb, int width, int height) {
    if (!window || !argb || width <= 0 || height <= 0)
        return false;
    SDL_Surface *icon = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return false;
    platform_copy_rows(icon->pixels, (std::size_t)icon->pitch, argb, (std::size_t)width, width, height);
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
    icon_width = width;
    icon_height = height;
    return true;
}

bool platform_window_exists() { return window && !window_destroy_pending; }

void platform_window_borders(int *top, int *left, int *bottom, int *right) {
    *top = *left = *bottom = *right = 0;
    if (window && SDL_GetWindowBordersSize(window, top, left, bottom, right) != 0)
        *top = *left = *bottom = *right = 0;
}

void platform_window_place(int x, int y, int width, int height) {
    if (!window)
        return;
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, x, y);
}

void platform_window_show() {
    if (!window || window_destroy_pending)
        return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void platform_window_set_fullscreen(bool fullscreen) {
    if (window && !window_destroy_pending)
        SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    redraw_needed = true;
}

static void sdl_window_client_size(int *width, int *height) {
    *width = *height = 0;
    if (window)
        SDL_GetWindowSize(window, width, height);
}

void platform_mouse_warp_global(int x, int y) {
    last_warp_x = x;
    last_warp_y = y;
    if (window && !dummy_driver())
        SDL_WarpMouseGlobal(x, y);
}

void platform_cursor_show(bool shown) {
    cursor_shown = shown;
    if (video_started)
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

bool platform_cursor_shown() { return cursor_shown; }

static bool sdl_renderer_create() {
    if (!window || renderer)
        return false;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    renderer_choice choice = choose_renderer();
    if (choice == renderer_choice_software) {
        // Straight into the window's own surface: no OpenGL texture in between.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    } else if (choice == renderer_choice_accelerated) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (!renderer)
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    }
    if (!renderer) // SDL's own choice (SDL_RENDER_DRIVER), or the last resort
        renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer)
        return false;
    SDL_RendererInfo info;
    renderer_vsync = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    renderer_kind = SDL_GetRendererInfo(renderer, &info) == 0 && info.name ? info.name : "unknown";
    if (!event_watch_added) {
        SDL_AddEventWatch(watch_render_resets, nullptr);
        event_watch_added = true;
    }
    textures_lost = false;
    frame_scheduled = false;
    redraw_needed = true;
    return true;
}

static bool sdl_renderer_check_caps() {
    if (!renderer)
        return false;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0)
        return false;
    bool argb = false;
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        argb = argb || info.texture_formats[i] == SDL_PIXELFORMAT_ARGB8888;
    if (!argb)
        return false;
    SDL_Texture *t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 1, 1);
    if (!t)
        return false;
    bool ok = SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND) == 0;
    if (ok) {
        SDL_Vertex tri[3] = {};
        tri[1].position.x = 1.0f;
        tri[2].position.y = 1.0f;
        for (SDL_Vertex &v : tri)
            v.color = SDL_Color{255, 255, 255, 255};
        ok = SDL_RenderGeometry(renderer, t, tri, 3, nullptr, 0) == 0;
    }
    SDL_DestroyTexture(t);
    return ok;
}

void platform_renderer_destroy() {
    if (!renderer)
        return;
    // Textures left by their owners go with the renderer.
    for (platform_texture *t : textures) {
        if (t->texture)
            SDL_DestroyTexture(t->texture);
        delete t;
    }
    textures.clear();
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    renderer_vsync = false;
    textures_lost = false;
    if (window_destroy_pending)
        destroy_window_now();
}

bool platform_renderer_exists() { return renderer != nullptr; }
bool platform_renderer_vsync() { return renderer_vsync; }

void platform_renderer_output_size(int *width, int *height) {
    *width = *height = 0;
    if (renderer && SDL_GetRendererOutputSize(renderer, width, height) != 0)
        *width = *height = 0;
}

platform_texture *platform_texture_create(int width, int height, bool keep_pixels, bool opaque) {
    if (!renderer || width <= 0 || height <= 0)
        return nullptr;
    SDL_Texture *sdl = make_sdl_texture(width, height, opaque);
    if (!sdl)
        return nullptr;
    platform_texture *t = new platform_texture;
    t->texture = sdl;
    t->width = width;
    t->height = height;
    t->keep_pixels = keep_pixels;
    t->opaque = opaque;
    if (keep_pixels) {
        t->pixels.assign((std::size_t)width * (std::size_t)height, 0u);
        upload(sdl, t->pixels.data(), width, height);
    } else {
        clear_sdl_texture(sdl, height);
    }
    textures.push_back(t);
    return t;
}

void platform_texture_destroy(platform_texture *texture) {
    if (!texture)
        return;
    for (std::size_t i = 0; i < textures.size(); ++i) {
        if (textures[i] == texture) {
            textures.erase(textures.begin() + (std::ptrdiff_t)i);
            if (texture->texture)
                SDL_DestroyTexture(texture->texture);
            delete texture;
            return;
        }
    }
}

void platform_copy_rows(void *dst, std::size_t dst_pitch, const std::uint32_t *src, std::size_t src_stride, int width,
                        int height) {
    const std::size_t row = (std::size_t)width * 4;
    if (dst_pitch == row && src_stride == (std::size_t)width) {
        std::memcpy(dst, src, row * (std::size_t)height);
        return;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy((std::uint8_t *)dst + (std::size_t)y * dst_pitch, src + (std::size_t)y * src_stride, row);
}

std::uint32_t *platform_texture_lock(platform_texture *texture, int *pitch) {
    *pitch = 0;
    if (!texture || texture->locked)
        return nullptr;
    if (textures_lost)
        restore_textures();
    if (texture->keep_pixels) {
        // Written into the kept copy; unlock hands it to the renderer.
        texture->locked = true;
        *pitch = texture->width * 4;
        return texture->pixels.data();
    }
    if (!texture->texture)
        return nullptr;
    void *pixels = nullptr;
    if (SDL_LockTexture(texture->texture, nullptr, &pixels, pitch) != 0) {
        *pitch = 0;
        return nullptr;
    }
    texture->locked = true;
    return (std::uint32_t *)pixels;
}

void platform_texture_unlock(platform_texture *texture) {
    if (!texture || !texture->locked)
        return;
    texture->locked = false;
    if (!texture->texture)
        return;
    if (texture->keep_pixels)
        upload(texture->texture, texture->pixels.data(), texture->width, texture->height);
    else
        SDL_UnlockTexture(texture->texture);
}

bool platform_render_clear(std::uint32_t colour) {
    if (!renderer)
        return false;
    if (textures_lost)
        restore_textures();
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, (Uint8)(colour >> 16), (Uint8)(colour >> 8), (Uint8)colour, (Uint8)(colour >> 24));
    return SDL_RenderClear(renderer) == 0;
}

bool platform_render_geometry(platform_texture *texture, const platform_vertex *vertices, int count) {
    if (!renderer || !vertices || count < 0)
        return false;
    if (count == 0)
        return true;
    if (texture && !texture->texture)
        return false;
    if (vertex_scratch.size() < (std::size_t)count)
        vertex_scratch.resize((std::size_t)count);
    for (int i = 0; i < count; ++i) {
        const platform_vertex &s = vertices[i];
        SDL_Vertex &d = vertex_scratch[(std::size_t)i];
        d.position.x = s.x;
        d.position.y = s.y;
        d.color = SDL_Color{(Uint8)(s.colour >> 16), (Uint8)(s.colour >> 8), (Uint8)s.colour, (Uint8)(s.colour >> 24)};
        d.tex_coord.x = s.u;
        d.tex_coord.y = s.v;
    }
    return SDL_RenderGeometry(renderer, texture ? texture->texture : nullptr, vertex_scratch.data(), count, nullptr,
                              0) == 0;
}

void platform_render_present() {
    if (!renderer)
        return;
    if (capture_on) {
        int w = 0, h = 0;
        platform_renderer_output_size(&w, &h);
        if (w > 0 && h > 0) {
            captured.resize((std::size_t)w * (std::size_t)h);
            if (platform_render_read(captured.data(), w, h)) {
                captured_width = w;
                captured_height = h;
                ++captured_frames;
            }
        }
    }
    SDL_RenderPresent(renderer);
    redraw_needed = false;
    log_first_present();
}

void platform_render_skip() { log_first_present(); }

bool platform_render_redraw_needed() { return redraw_needed || textures_lost; }

void platform_render_invalidate() { redraw_needed = true; }

std::uint32_t platform_frame_wait_ms() {
    if (!frame_scheduled)
        return 0;
    std::int32_t left = (std::int32_t)(next_frame_due - platform_get_tick_count());
    return left > 0 ? (std::uint32_t)left : 0;
}

void platform_frame_start() {
    std::uint32_t now = platform_get_tick_count();
    // A frame that starts more than one interval late restarts the schedule from now,
    // rather than hurrying to catch up.
    if (!frame_scheduled || (std::int32_t)(now - next_frame_due) > (std::int32_t)frame_interval_ms)
        next_frame_due = now;
    next_frame_due += frame_interval_ms;
    frame_scheduled = true;
}

const char *platform_renderer_name() { return renderer_kind; }

bool platform_render_copy(platform_texture *texture, int x, int y, int width, int height) {
    if (!renderer || !texture || !texture->texture)
        return false;
    SDL_Rect dst = {x, y, width, height};
    return SDL_RenderCopy(renderer, texture->texture, nullptr, &dst) == 0;
}

bool platform_render_read(std::uint32_t *out, int width, int height) {
    if (!renderer || !out || width <= 0 || height <= 0)
        return false;
    SDL_Rect r = {0, 0, width, height};
    return SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_ARGB8888, out, width * 4) == 0;
}

void platform_video_set_capture(bool on) {
    capture_on = on;
    captured_frames = 0;
    if (!on) {
        captured.clear();
        captured.shrink_to_fit();
        captured_width = captured_height = 0;
    }
}

const std::uint32_t *platform_video_captured_frame(int *width, int *height, std::uint32_t *frame_number) {
    if (width)
        *width = captured_width;
    if (height)
        *height = captured_height;
    if (frame_number)
        *frame_number = captured_frames;
    return captured_width > 0 ? captured.data() : nullptr;
}

void platform_video_lose_textures_for_test() {
    for (platform_texture *t : textures) {
        if (t->texture)
            SDL_DestroyTexture(t->texture);
        t->texture = nullptr;
    }
    textures_lost = true;
}

void platform_window_icon_size(int *width, int *height) {
    *width = icon_width;
    *height = icon_height;
}

void platform_mouse_last_warp(int *x, int *y) {
    *x = last_warp_x;
    *y = last_warp_y;
}

const platform_video_backend platform_video_sdl = {
    .init = sdl_video_init,
    .display_mode_count = sdl_display_mode_count,
    .display_mode = sdl_display_mode,
    .usable_bounds = sdl_usable_bounds,
    .window_create = sdl_window_create,
    .window_client_size = sdl_window_client_size,
    .renderer_create = sdl_renderer_create,
    .renderer_check_caps = sdl_renderer_check_caps,
};

void platform_video_use_backend(const platform_video_backend *b) { backend = b ? b : &platform_video_sdl; }

bool platform_video_init() { return backend->init(); }
int platform_display_mode_count() { return backend->display_mode_count(); }
bool platform_display_mode(int index, int *width, int *height) {
    return index >= 0 && index < backend->display_mode_count() && backend->display_mode(index, width, height);
}
bool platform_window_create(const char *title, int width, int height) {
    return backend->window_create(title, width, height);
}
void platform_window_client_size(int *width, int *height) { backend->window_client_size(width, height); }
bool platform_display_usable_bounds(int *x, int *y, int *width, int *height) {
    return backend->usable_bounds(x, y, width, height);
}
bool platform_renderer_create() { return backend->renderer_create(); }
bool platform_renderer_check_caps() { return backend->renderer_check_caps(); }
