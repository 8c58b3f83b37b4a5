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
 * Load it with: weston --backend=headless-backend.so --modules=/path/to/lumo_test_seat.so
 */
#include <libweston/libweston.h>

#include <linux/input-event-codes.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>

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
};

static int
press_shift(int signal_number, void *data)
{
	struct test_seat *test_seat = data;
	struct timespec now;
	(void)signal_number;
	weston_compositor_get_time(&now);
	notify_key(&test_seat->seat, &now, KEY_LEFTSHIFT, WL_KEYBOARD_KEY_STATE_PRESSED,
		   STATE_UPDATE_AUTOMATIC);
	notify_key(&test_seat->seat, &now, KEY_LEFTSHIFT, WL_KEYBOARD_KEY_STATE_RELEASED,
		   STATE_UPDATE_AUTOMATIC);
	return 0;
}

static void
release_seat(struct wl_listener *listener, void *data)
{
	struct test_seat *test_seat = wl_container_of(listener, test_seat, compositor_destroy);
	(void)data;
	if (test_seat->shift_signal)
		wl_event_source_remove(test_seat->shift_signal);
	weston_seat_release(&test_seat->seat);
	free(test_seat);
}

WL_EXPORT int
wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[])
{
	struct test_seat *test_seat = calloc(1, sizeof *test_seat);
	(void)argc;
	(void)argv;
	if (!test_seat)
		return -1;
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
	test_seat->shift_signal = wl_event_loop_add_signal(
		wl_display_get_event_loop(compositor->wl_display), SIGUSR1, press_shift, test_seat);
	return test_seat->shift_signal ? 0 : -1;
}
