// The thread sanitizer's suppressions for the test programs, linked into
// each of them in a KORVANE_SANITIZE_THREAD build (the sanitizer asks for
// them at start). OpenAL Soft and PulseAudio (which OpenAL Soft probes when
// it starts) are not built with the sanitizer: their threads meet through
// atomics and locks it can't see, so what they do inside themselves is
// reported as races. So is Mesa's software GL driver, whose drawing threads
// read what our GL calls hand them. Our own threads (the output's stream
// service, the music's lock, the input thread) stay checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libopenal.so\n"
         "called_from_lib:libpulsecommon\n"
         "called_from_lib:libpulse.so\n"
         "race:libopenal.so\n"
         "race:libpulsecommon\n"
         "race:swrast_dri.so\n";
}
