kx_test(tst_transfert SOURCES ${KX_TEST_DIR}/tst_transfert.cpp ${KX_TEST_DIR}/TableVideo.h LIBS kx_testhost)
kx_test(tst_conversation SOURCES ${KX_TEST_DIR}/tst_conversation.cpp LIBS kx_transfer)
kx_test(tst_tabulo_bout SOURCES ${KX_TEST_DIR}/tst_tabulo_bout.cpp ${KX_TEST_DIR}/TableVideo.h
        LIBS kx_testhost LOCK tabulo)
target_compile_definitions(tst_tabulo_bout PRIVATE KX_TABULO_PATH="$<TARGET_FILE:tabulo>")
add_dependencies(tst_tabulo_bout tabulo)
kx_test(tst_transferbutton SOURCES ${KX_TEST_DIR}/tst_transferbutton.cpp LIBS kx_transfer)
