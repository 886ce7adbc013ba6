# morvante_vst3sdk: the parts of the Steinberg VST3 SDK the binding builds on.
# Third-party code: compiled with its warnings silenced and never with
# -Werror, and included as a SYSTEM directory so that its headers do not
# trip our own warnings either.
if(TARGET morvante_vst3sdk)
  return()
endif()

if(NOT EXISTS ${VST3_SDK_ROOT}/pluginterfaces/base/funknown.h)
  message(FATAL_ERROR "VST3_SDK_ROOT (${VST3_SDK_ROOT}) does not hold the VST3 SDK")
endif()

set(morvante_vst3sdk_sources
  ${VST3_SDK_ROOT}/pluginterfaces/base/conststringtable.cpp
  ${VST3_SDK_ROOT}/pluginterfaces/base/coreiids.cpp
  ${VST3_SDK_ROOT}/pluginterfaces/base/funknown.cpp
  ${VST3_SDK_ROOT}/pluginterfaces/base/ustring.cpp
  ${VST3_SDK_ROOT}/base/source/baseiids.cpp
  ${VST3_SDK_ROOT}/base/source/fbuffer.cpp
  ${VST3_SDK_ROOT}/base/source/fdebug.cpp
  ${VST3_SDK_ROOT}/base/source/fobject.cpp
  ${VST3_SDK_ROOT}/base/source/fstreamer.cpp
  ${VST3_SDK_ROOT}/base/source/fstring.cpp
  ${VST3_SDK_ROOT}/base/source/updatehandler.cpp
  ${VST3_SDK_ROOT}/base/thread/source/flock.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/common/memorystream.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/common/pluginview.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/vst/vstbus.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/vst/vstcomponentbase.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/vst/vsteditcontroller.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/vst/vstinitiids.cpp
  ${VST3_SDK_ROOT}/public.sdk/source/vst/vstparameters.cpp
)

add_library(morvante_vst3sdk STATIC ${morvante_vst3sdk_sources})
target_include_directories(morvante_vst3sdk SYSTEM PUBLIC ${VST3_SDK_ROOT})
# The SDK's own debug checks (assertions that print and break into a
# debugger) stay off in every configuration: RELEASE selects the quiet path.
target_compile_definitions(morvante_vst3sdk PUBLIC RELEASE=1)
target_compile_options(morvante_vst3sdk PRIVATE -w -Wno-error -fvisibility=hidden -fvisibility-inlines-hidden)
set_target_properties(morvante_vst3sdk PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(morvante_vst3sdk PUBLIC Threads::Threads)
