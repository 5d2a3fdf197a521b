# Graded and partial credit items beside 3PL ones: a noise-free mixed pair links back to its
# transformation by every method, in mirt's layout and given with a model column alike;
# torvak_transform moves each model's intercepts as the link does; bad tables are refused
# naming the item.
source("helpers.R")

# n items in the cycle 3PL, graded, gpcm (3 to 5 categories) as mirt's coef(fit, simplify =
# TRUE)$items has them: NA where an item has no such parameter, and the columns in the order
# of first use (so ak4 and d4 come after d0).
mixed_items <- function(n, k, seed) {
  set.seed(seed)
  model <- rep(c("3PL", "graded", "gpcm"), length.out = n)
  m <- ifelse(model == "3PL", 2L, 3L + (seq_len(n) %/% 3L) %% 3L)
  out <- matrix(NA_real_, n, k + 13L)
  colnames(out) <- c(paste0("a", seq_len(k)), "d", "g", "u", paste0("d", 1:3),
                     paste0("ak", 0:3), "d0", "ak4", "d4")
  rownames(out) <- sprintf("i%02d", seq_len(n))
  out[, seq_len(k)] <- runif(n * k, 0.5, 1.6)
  for (i in seq_len(n)) {
    if (model[i] == "3PL") {
      out[i, c("d", "g", "u")] <- c(rnorm(1), runif(1, 0, 0.2), 1)
      next
    }
    d <- sort(runif(m[i] - 1L, -2, 2), decreasing = TRUE)
    if (model[i] == "gpcm") {
      d <- sample(d)  # a partial credit item's intercepts take any order
      out[i, paste0("ak", seq_len(m[i]) - 1L)] <- seq_len(m[i]) - 1L
      out[i, "d0"] <- 0
    }
    out[i, paste0("d", seq_len(m[i] - 1L))] <- d
  }
  out
}

# The same items given explicitly: a data frame with a model column, d for 3PL items and
# d1 .. for the others.
explicit_items <- function(items) {
  k <- length(grep("^a[0-9]+$", colnames(items)))
  model <- ifelse(!is.na(items[, "d"]), "3PL", ifelse(is.na(items[, "ak0"]), "graded", "gpcm"))
  data.frame(items[, seq_len(k), drop = FALSE], model = model,
             items[, c("d", "g", paste0("d", 1:4))])
}

# The To table of from under theta_From = A theta_To + b, written out per model: slopes A'a,
# intercepts d + a'b (3PL, graded) and d_k + k a'b (gpcm).
carried <- function(from, A, b) {
  k <- length(b)
  a <- from[, seq_len(k), drop = FALSE]
  shift <- drop(a %*% b)
  gpcm <- !is.na(from[, "ak0"])
  to <- from
  to[, seq_len(k)] <- a %*% A
  to[, "d"] <- from[, "d"] + shift
  for (j in 1:4) {
    column <- paste0("d", j)
    to[, column] <- from[, column] + ifelse(gpcm, j, 1) * shift
  }
  to
}

links <- list(list(A = matrix(0.8), b = 0.4),
              list(A = matrix(c(1.2, 0.1, -0.15, 0.9), 2, byrow = TRUE), b = c(0.3, -0.2)))
for (link in links) {
  k <- length(link$b)
  from <- mixed_items(15, k, seed = 20 + k)
  to <- carried(from, link$A, link$b)
  for (method in c("ls", "tcs", "irs")) {
    where <- sprintf("dimension %d, %s", k, method)
    fit <- torvak_link(from, to, method = method)
    expect_equal(fit$A, link$A, tolerance = 1e-6, scale = 1, info = where)
    expect_equal(fit$b, link$b, tolerance = 1e-6, scale = 1, info = where)
    expect_true(fit$criterion < 1e-12, info = where)
    expect_true(fit$criterion_at_identity > 1e-3, info = where)
    expect_identical(fit$n_items, 15L, info = where)
    # The item table names each item's model and categories.
    expect_identical(fit$items$model,
                     unname(ifelse(!is.na(from[, "d"]), "dichotomous",
                                   ifelse(is.na(from[, "ak0"]), "graded", "partial credit"))),
                     info = where)
    expect_identical(fit$items$categories,
                     as.integer(1 + pmax(1, rowSums(!is.na(from[, paste0("d", 1:4)])))),
                     info = where)
    # The same items with a model column link to the same numbers, bit for bit.
    again <- torvak_link(explicit_items(from), explicit_items(to), method = method)
    expect_identical(again$M, fit$M, info = where)
    expect_identical(again$t, fit$t, info = where)
    # Carried across by the link found, From becomes To, in its own layout.
    expect_equal(torvak_transform(from, fit), to, tolerance = 1e-6, scale = 1, info = where)
  }
  exact <- list(M = solve(link$A), t = -drop(solve(link$A) %*% link$b))
  expect_equal(torvak_transform(from, exact), to, tolerance = 1e-12)
  moved <- torvak_transform(explicit_items(from), exact)
  expect_equal(moved, explicit_items(to), tolerance = 1e-12)
  expect_identical(moved$model, explicit_items(from)$model)
}

# Category probabilities of each item at the points: a list of N x m matrices (one column, P,
# for a 3PL item), written out per model.
responses <- function(items, theta) {
  lapply(seq_len(nrow(items)), function(i) {
    s <- drop(theta %*% items[i, seq_len(ncol(theta))])
    if (!is.na(items[i, "d"])) {
      return(cbind(items[i, "g"] + (1 - items[i, "g"]) / (1 + exp(-(s + items[i, "d"])))))
    }
    d <- items[i, paste0("d", 1:4)]
    d <- d[!is.na(d)]
    m <- length(d) + 1L
    if (is.na(items[i, "ak0"])) {
      above <- cbind(1, vapply(d, function(dk) 1 / (1 + exp(-(s + dk))), s), 0)
      return(above[, seq_len(m)] - above[, seq_len(m) + 1L])
    }
    e <- exp(vapply(seq_len(m) - 1L, function(k) k * s + c(0, d)[k + 1L], s))
    e / rowSums(e)
  })
}
expected_score <- function(p) if (ncol(p) == 1L) p[, 1L] else drop(p %*% (seq_len(ncol(p)) - 1))

# At the identity, item response surfaces compare every category's probability (divided by
# points times items) and test characteristic surfaces the expected test score: the criteria
# the link reports are the ones written out here.
from <- mixed_items(15, 2, seed = 3)
to <- carried(from, links[[2L]]$A, links[[2L]]$b)
theta <- matrix(seq(-2.5, 2.5, length.out = 40), 20, 2)
p_from <- responses(from, theta)
p_to <- responses(to, theta)
irs <- sum(mapply(function(f, t) sum((f - t)^2), p_from, p_to)) / (20 * 15)
tcs <- sum((Reduce(`+`, lapply(p_from, expected_score)) -
            Reduce(`+`, lapply(p_to, expected_score)))^2) / 20
expect_equal(torvak_link(from, to, method = "irs", theta = theta)$criterion_at_identity, irs,
             tolerance = 1e-10)
expect_equal(torvak_link(from, to, method = "tcs", theta = theta)$criterion_at_identity, tcs,
             tolerance = 1e-10)

# A table of graded items only, NA where an item has fewer categories, links without
# conversion and as its items given explicitly; rows are matched by name.
from <- mixed_items(12, 2, seed = 5)[c(2, 5, 8, 11), c("a1", "a2", "d1", "d2", "d3", "d4")]
from <- rbind(from, from * 0.9)
rownames(from) <- sprintf("g%d", 1:8)
to <- from
to[, 1:2] <- from[, 1:2] %*% links[[2]]$A
to[, 3:6] <- from[, 3:6] + drop(from[, 1:2] %*% links[[2]]$b)
fit <- torvak_link(from, to[8:1, ], method = "irs", grid = 9)
expect_equal(fit$A, links[[2]]$A, tolerance = 1e-6, scale = 1)
given <- function(x) data.frame(x[, 1:2], model = "graded", x[, 3:6])
same <- torvak_link(given(from), given(to)[8:1, ], method = "irs", grid = 9)
expect_identical(same$M, fit$M)
expect_identical(same$t, fit$t)
expect_identical(rownames(fit$items), rownames(from))

# Items that are all dichotomous by their model column link exactly as the plain 3PL table.
items <- made_items(10, 2, seed = 6)
others <- made_items(10, 2, seed = 7)
plain <- torvak_link(items, others, method = "tcs")
by_model <- torvak_link(data.frame(items, model = "3PL"), data.frame(others, model = "3PL"),
                        method = "tcs")
expect_identical(by_model$M, plain$M)
expect_identical(by_model$criterion, plain$criterion)

# Bad tables: each change refuses the pair with a message naming the item and the fault.
good <- mixed_items(9, 2, seed = 8)
bad <- list(
  list("a category fewer in To",
       function(f, t) { t["i08", "d4"] <- NA; list(f, t) },
       "From and To differ in item model or category count: row 'i08' (graded, 5 categories in From, graded, 4 categories in To)"),
  list("a graded item given as gpcm in To",
       function(f, t) { t["i05", paste0("ak", 0:3)] <- 0:3; list(f, t) },
       "row 'i05' (graded, 4 categories in From, partial credit (gpcm), 4 categories in To)"),
  list("graded intercepts that rise",
       function(f, t) { f["i02", c("d1", "d2")] <- f["i02", c("d2", "d1")]; list(f, t) },
       "From, row 'i02': the intercepts of a graded item must decrease (d1 > d2 > ...)"),
  list("scores of a nominal item",
       function(f, t) { t["i03", "ak1"] <- 1.4; list(f, t) },
       "To, row 'i03': ak0 .. are 0, 1.4, 2, 3; a gpcm item of 4 categories scores them 0 .. 3"),
  list("guessing on a graded item",
       function(f, t) { f["i05", "g"] <- 0.2; list(f, t) },
       "From, row 'i05': a graded item has no guessing parameter (g is 0.2)"),
  list("a gap among the intercepts",
       function(f, t) { t["i05", "d2"] <- NA; list(f, t) },
       "To, row 'i05': d2 holds no value but a later intercept does"),
  list("both d and d1",
       function(f, t) { f["i01", "d1"] <- 0.5; list(f, t) },
       "From, row 'i01': both d and d1 .. hold values"),
  list("an infinite graded intercept",
       function(f, t) { t["i08", "d2"] <- -Inf; list(f, t) },
       "To, row 'i08': column d2: -Inf is not a finite number"),
  list("an unknown model name",
       function(f, t) { list(data.frame(f, model = c("3PL", "grm", rep("", 7))), t) },
       "From, row 'i02': the model 'grm' is none of 3PL, 2PL, graded, gpcm"),
  list("a model column that contradicts the parameters",
       function(f, t) { list(f, data.frame(t, model = c("graded", rep(NA, 8)))) },
       "To, row 'i01': a graded item's intercepts are d1 .. d(m-1), not d")
)
for (case in bad) {
  tables <- case[[2L]](good, good)
  expect_error(torvak_link(tables[[1L]], tables[[2L]], method = "ls"), case[[3L]],
               fixed = TRUE, info = case[[1L]])
}
# Unchanged, the same tables link.
expect_inherits(torvak_link(good, good, method = "ls"), "torvak_link")

# mirt's own table, when mirt is installed: items made by generate.mirt_object link to the
# transformation their explicit To table was carried by.
if (requireNamespace("mirt", quietly = TRUE) &&
    exists("generate.mirt_object", envir = asNamespace("mirt"))) {
  items <- mixed_items(12, 2, seed = 9)
  pars <- items[, c("a1", "a2", "d", paste0("d", 1:4))]
  types <- ifelse(!is.na(items[, "d"]), "2PL", ifelse(is.na(items[, "ak0"]), "graded", "gpcm"))
  object <- tryCatch(mirt::generate.mirt_object(pars, types), error = function(e) NULL)
  if (!is.null(object)) {
    table <- mirt::coef(object, simplify = TRUE)$items
    items[, "g"] <- ifelse(is.na(items[, "d"]), NA, 0)
    link <- links[[2L]]
    to <- carried(items, link$A, link$b)
    rownames(to) <- rownames(table)
    fit <- torvak_link(table, to, method = "irs", grid = 9)
    expect_equal(fit$A, link$A, tolerance = 1e-6, scale = 1)
    expect_equal(fit$b, link$b, tolerance = 1e-6, scale = 1)
  }
}
