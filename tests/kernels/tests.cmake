add_kq_test(kernels BayesFactorOneSampleTT LABELS unit reference)
