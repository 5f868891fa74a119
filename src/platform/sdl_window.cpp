// PLACEHOLDER: the real sdl_window implementation comes with the platform layer.
