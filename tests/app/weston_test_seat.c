/*
 * A Weston module for the tests: gives a headless Weston the seat its backend lacks, with a
 * keyboard and a pointer. On Wayland the clipboard belongs to a seat (its data device), so
 * without one no client can copy or paste, and wl-paste refuses to run; the keyboard lets the
 * shell give a window the focus, which is where a selection is offered to a client.
 *
 * SIGUSR1 presses and releases Shift on this keyboard. A compositor takes a new selection only
 * with an input event's serial newer than the current selection's, as a user's click or key
 * gives in a real session; a test that drives the widgets itself sends SIGUSR1 before each
 * copy after the first. Shift types nothing.
 *
 * When LUMO_WESTON_KEYS names a FIFO, every byte written to it is typed on this keyboard, a
 * press and a release, as a person types: a-z, 0-9, space, '\n' (Enter), '\b' (BackSpace) and
 * 0x1b (Escape). The keys go where the compositor sends them: to the focused window, or to the
 * input method while one has grabbed the keyboard. Other bytes are ignored.
 * Load it with: weston --backend=headless-backend.so --modules=/path/to/lumo_test_seat.so
 */
#include <libweston/libweston.h>

#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

/* Exported by libweston but declared only in its private backend header. */
void weston_seat_init(struct weston_seat *seat, struct weston_compositor *ec, const char *seat_name);
int weston_seat_init_pointer(struct weston_seat *seat);
int weston_seat_init_keyboard(struct weston_seat *seat, struct xkb_keymap *keymap);
void weston_seat_release(struct weston_seat *seat);
void notify_key(struct weston_seat *seat, const struct timespec *time, uint32_t key,
		enum wl_keyboard_key_state state, enum weston_key_state_update update_state);

struct test_seat {
	struct weston_seat seat;
	struct wl_listener compositor_destroy;
	struct wl_event_source *shift_signal;
	struct wl_event_source *keys_source;
	int keys_fd;
};

static void
type_key(struct test_seat *test_seat, uint32_t key)
{
	struct timespec now;
	weston_compositor_get_time(&now);
	notify_key(&test_seat->seat, &now, key, WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_AUTOMATIC);
	notify_key(&test_seat->seat, &now, key, WL_KEYBOARD_KEY_STATE_RELEASED, STATE_UPDATE_AUTOMATIC);
}

/* The evdev key of a byte written to the FIFO, or 0. */
static uint32_t
key_of(unsigned char c)
{
	static const uint32_t letters[26] = {
		KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
		KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
	};
	static const uint32_t digits[10] = {
		KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
	};
	if (c >= 'a' && c <= 'z')
		return letters[c - 'a'];
	if (c >= '0' && c <= '9')
		return digits[c - '0'];
	switch (c) {
	case ' ':
		return KEY_SPACE;
	case '\n':
		return KEY_ENTER;
	case '\b':
		return KEY_BACKSPACE;
	case 0x1b:
		return KEY_ESC;
	default:
		return 0;
	}
}

static int
type_keys(int fd, uint32_t mask, void *data)
{
	struct test_seat *test_seat = data;
	unsigned char bytes[256];
	ssize_t count;
	(void)mask;
	while ((count = read(fd, bytes, sizeof bytes)) > 0) {
		for (ssize_t i = 0; i < count; ++i) {
			uint32_t key = key_of(bytes[i]);
			if (key)
				type_key(test_seat, key);
		}
	}
	return 0;
}

static int
press_shift(int signal_number, void *data)
{
	struct test_seat *test_seat = data;
	(void)signal_number;
	type_key(test_seat, KEY_LEFTSHIFT);
	return 0;
}

static void
release_seat(struct wl_listener *listener, void *data)
{
	struct test_seat *test_seat = wl_container_of(listener, test_seat, compositor_destroy);
	(void)data;
	if (test_seat->shift_signal)
		wl_event_source_remove(test_seat->shift_signal);
	if (test_seat->keys_source)
		wl_event_source_remove(test_seat->keys_source);
	if (test_seat->keys_fd >= 0)
		close(test_seat->keys_fd);
	weston_seat_release(&test_seat->seat);
	free(test_seat);
}

WL_EXPORT int
wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[])
{
	struct test_seat *test_seat = calloc(1, sizeof *test_seat);
	struct wl_event_loop *loop = wl_display_get_event_loop(compositor->wl_display);
	const char *keys = getenv("LUMO_WESTON_KEYS");
	(void)argc;
	(void)argv;
	if (!test_seat)
		return -1;
	test_seat->keys_fd = -1;
	weston_seat_init(&test_seat->seat, compositor, "default");
	/* No keymap given: the compositor's default (its xkb rule names) is used. */
	if (weston_seat_init_keyboard(&test_seat->seat, NULL) < 0
	    || weston_seat_init_pointer(&test_seat->seat) < 0) {
		weston_seat_release(&test_seat->seat);
		free(test_seat);
		return -1;
	}
	if (!weston_compositor_add_destroy_listener_once(compositor, &test_seat->compositor_destroy,
							 release_seat)) {
		release_seat(&test_seat->compositor_destroy, NULL);
		return -1;
	}
	test_seat->shift_signal = wl_event_loop_add_signal(loop, SIGUSR1, press_shift, test_seat);
	if (!test_seat->shift_signal)
		return -1;
	if (keys && *keys) {
		/* Open for writing too, so that the FIFO never reads as ended between writers. */
		test_seat->keys_fd = open(keys, O_RDWR | O_NONBLOCK | O_CLOEXEC);
		if (test_seat->keys_fd < 0)
			return -1;
		test_seat->keys_source = wl_event_loop_add_fd(loop, test_seat->keys_fd, WL_EVENT_READABLE,
							      type_keys, test_seat);
		if (!test_seat->keys_source)
			return -1;
	}
	return 0;
}
