# MGIF animations: the reader and decoders against any bytes, the forge's LZW
# against the player's.
vorthan_fuzz_target(mgif LIBS vorthan_gfx vorthan_forge)
