kx_test(tst_vidgrab SOURCES ${KX_TEST_DIR}/tst_vidgrab.cpp ${KX_TEST_DIR}/ClipsTest.h LIBS kx_video kx_testhost)
target_compile_definitions(tst_vidgrab PRIVATE KX_SAMPLE_PENDULE="${CMAKE_BINARY_DIR}/share/kinexo/exemples/pendule.avi")
add_dependencies(tst_vidgrab samples_pendule)
kx_test(tst_vidgrab_bout SOURCES ${KX_TEST_DIR}/tst_vidgrab_bout.cpp LIBS kx_video kx_testhost LOCK tabulo)
target_include_directories(tst_vidgrab_bout PRIVATE ${PROJECT_SOURCE_DIR}/tools/samples-pendule)
target_compile_definitions(tst_vidgrab_bout PRIVATE KX_TABULO_PATH="$<TARGET_FILE:tabulo>"
                           KX_SAMPLE_PENDULE="${CMAKE_BINARY_DIR}/share/kinexo/exemples/pendule.avi")
add_dependencies(tst_vidgrab_bout tabulo samples_pendule)
