// PLACEHOLDER: the real serial_posix implementation comes with the platform layer.
