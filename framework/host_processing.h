// What every format binding does the same way when its host changes a
// parameter or hands over a block of audio.
#pragma once

class IPlugBase;

// A host's change of a parameter, as a normalised value, under the instance
// lock: clamped into 0..1, set, shown in the editor and passed to the
// effect. A NaN or an infinity is ignored (the last good value stays), as
// is an index outside the parameters.
void ApplyHostParamChange(IPlugBase& plug, int paramIdx, double normalizedValue);

// One block's host buffers. Inputs 0 .. n-1 take the host's channels; the
// instance's inputs beyond them read silence.
void AttachHostInputs(IPlugBase& plug, int n, float** channels, int nFrames);
void AttachHostInputs(IPlugBase& plug, int n, double** channels);
// Outputs idx .. idx+n-1 write to the host's channels. Outputs that none of
// the block's calls names write to scratch: call DetachHostOutputs first.
void DetachHostOutputs(IPlugBase& plug);
void AttachHostOutputs(IPlugBase& plug, int idx, int n, float** channels);
void AttachHostOutputs(IPlugBase& plug, int idx, int n, double** channels);
// Runs the attached block: the effect, or while the instance is bypassed its
// input delayed by the latency.
void RunHostBlock(IPlugBase& plug, float, int nFrames);
void RunHostBlock(IPlugBase& plug, double, int nFrames);
