// PLACEHOLDER: the real sdl_sound implementation comes with the platform layer.
