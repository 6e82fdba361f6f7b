kx_test(tst_videoformats SOURCES ${KX_TEST_DIR}/tst_videoformats.cpp LIBS kx_platform)
# The video source built with the enumeration sanitizer, fed the damaged colour-space file:
# any value held in an FFmpeg enumeration that is not one of its values stops the test.
kx_test(tst_videosource_enum SOURCES ${KX_TEST_DIR}/tst_videosource_enum.cpp
        ${PROJECT_SOURCE_DIR}/src/platform/VideoSource.cpp ${PROJECT_SOURCE_DIR}/src/platform/VideoSource.h
        LIBS Qt6::Core Qt6::Gui PkgConfig::FFMPEG)
target_include_directories(tst_videosource_enum PRIVATE ${PROJECT_SOURCE_DIR}/src/platform)
target_compile_options(tst_videosource_enum PRIVATE -fsanitize=enum -fno-sanitize-recover=enum)
target_link_options(tst_videosource_enum PRIVATE -fsanitize=enum)
# The shared files sit beside the checkout (CI) or beside the folder of work trees.
set(KX_DAMAGED_DIR "")
foreach(d ${PROJECT_SOURCE_DIR}/../shared ${PROJECT_SOURCE_DIR}/../../shared)
  if(NOT KX_DAMAGED_DIR AND EXISTS ${d}/testdata/damaged)
    get_filename_component(KX_DAMAGED_DIR ${d}/testdata/damaged ABSOLUTE)
  endif()
endforeach()
target_compile_definitions(tst_videosource_enum PRIVATE KX_DAMAGED_DIR="${KX_DAMAGED_DIR}")
